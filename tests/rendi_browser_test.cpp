// The page of the embedded scenario opened in a real headless browser: it loads without a
// console message (its content security policy turns any load from elsewhere into one) and
// its screenshot is a picture, not a blank page.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "aiuti.h"

namespace scenario {
namespace {

using prova::CartellaTemporanea;
using prova::percorso;

// Opens `pagina` in headless Chromium with a fresh profile and takes a 1400 x 2000 screenshot.
prova::Esecuzione fotografa(const CartellaTemporanea& dir, const std::filesystem::path& pagina,
                            const std::filesystem::path& foto) {
  const auto profilo = dir / ("profilo-" + foto.stem().string());
  return prova::esegui("env -u DISPLAY HOME='" + dir().string() +
                           "' timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic "
                           "--no-first-run --disable-background-networking --disable-component-update --disable-sync "
                           "--user-data-dir='" +
                           profilo.string() + "' --enable-logging=stderr --v=0 --screenshot='" + foto.string() +
                           "' --window-size=1400,2000 'file://" + pagina.string() + "'",
                       dir());
}

// The browser's console messages in its log.
std::vector<std::string> messaggi_console(const std::string& log) {
  std::vector<std::string> fuori;
  std::size_t inizio = 0;
  for (std::size_t fine = log.find('\n'); inizio < log.size();
       inizio = fine + 1, fine = log.find('\n', inizio)) {
    if (fine == std::string::npos) fine = log.size();
    const std::string riga = log.substr(inizio, fine - inizio);
    if (riga.find(":CONSOLE") != std::string::npos) fuori.push_back(riga);
  }
  return fuori;
}

TEST(RendiNelBrowser, TheEmbeddedScenariosPageLoadsCleanAndIsNotBlank) {
  if (std::system("command -v chromium >/dev/null 2>&1") != 0) GTEST_SKIP() << "chromium is not installed";
  CartellaTemporanea dir;
  ASSERT_EQ(percorso({"export", "-o", dir().string()}).stato, 0);
  const auto pagina = dir / "pagina.html";
  const auto e = percorso({"render", (dir / "Valdora_linea.txt").string(), (dir / "Valdora_Tarvo-.txt").string(),
                           "-o", pagina.string()});
  ASSERT_EQ(e.stato, 0) << e.err;

  const auto foto = dir / "foto.png";
  const auto esito = fotografa(dir, pagina, foto);
  if (!std::filesystem::exists(foto)) {
    const std::string& err = esito.err;
    GTEST_SKIP() << "the browser could not start (status " << esito.stato
                 << "): " << err.substr(err.size() > 3000 ? err.size() - 3000 : 0);
  }
  EXPECT_EQ(esito.stato, 0) << esito.err;
  EXPECT_TRUE(messaggi_console(esito.err).empty()) << messaggi_console(esito.err)[0];

  // The screenshot: the right size, many colours, and much of it not white.
  cairo_surface_t* s = cairo_image_surface_create_from_png(foto.c_str());
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  const int passo = cairo_image_surface_get_stride(s);
  EXPECT_EQ(w, 1400);
  EXPECT_EQ(h, 2000);
  cairo_surface_flush(s);
  const unsigned char* dati = cairo_image_surface_get_data(s);
  std::set<std::uint32_t> colori;
  long non_bianchi = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint32_t pixel = 0;
      std::memcpy(&pixel, dati + static_cast<std::ptrdiff_t>(y) * passo + x * 4, 4);
      colori.insert(pixel & 0xFFFFFFu);
      if ((pixel & 0xFFFFFFu) != 0xFFFFFFu) ++non_bianchi;
    }
  }
  cairo_surface_destroy(s);
  EXPECT_GT(colori.size(), 200u);
  EXPECT_GT(static_cast<double>(non_bianchi) / (w * h), 0.05);

  // The same page with an image from elsewhere does log a console message: the check above can
  // fail.
  std::string testo = prova::leggi_file(pagina);
  testo.insert(testo.find("<body>") + 6, "<img src=\"elsewhere.png\" alt=\"\">");
  prova::scrivi_file(dir / "altrove.html", testo);
  const auto controllo = fotografa(dir, dir / "altrove.html", dir / "altrove.png");
  EXPECT_FALSE(messaggi_console(controllo.err).empty()) << controllo.err;
}

}  // namespace
}  // namespace scenario
