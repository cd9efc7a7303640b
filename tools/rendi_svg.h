// Shared by the figures of `percorso render`: the SVG writer, the colours and sizes, and the
// words and ticks that the plan and the profiles both use.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "tools/rendi.h"
#include "tools/rendi_testo.h"

namespace scenario::disegno {

using testo::intero;
using testo::km;
using testo::numero;

inline constexpr double larghezza = 1300;
inline constexpr const char* font = "DejaVu Sans, Liberation Sans, Arial, Helvetica, sans-serif";

namespace colore {
inline constexpr const char* binario = "#222";
inline constexpr const char* coda = "#8a8a8a";
inline constexpr const char* galleria = "#8d6e63";
inline constexpr const char* stazione = "#1f3a93";
inline constexpr const char* segnale = "#c0392b";
inline constexpr const char* cartello = "#7f8c8d";
inline constexpr const char* tacca = "#555";
inline constexpr const char* ripresa = "#d35400";
inline constexpr const char* griglia = "#e3e3e3";
inline constexpr const char* quota = "#2c6e49";
inline constexpr const char* pendenza = "#8e6c8a";
inline constexpr const char* limite = "#111";
inline constexpr const char* rallentamento = "#e7298a";
inline constexpr const char* abbattimento = "#6a3d9a";
inline constexpr std::array<const char*, 3> rango = {"#1b9e77", "#d95f02", "#7570b3"};
inline constexpr std::array<const char*, 6> classe = {"#66bd63", "#a6d96a", "#fdd835", "#fb8c00", "#e53935", "#8e24aa"};
}  // namespace colore

// An SVG document being written.
struct Svg {
  std::string s;

  void n(double v, int decimali = 1) { numero(s, v, decimali); }
  void i(std::int64_t v) { intero(s, v); }
  void t(std::string_view cp1252) { testo::xml(s, cp1252); }
  void titolo(std::string_view cp1252) {
    s += "<title>";
    t(cp1252);
    s += "</title>";
  }
  void linea(double x1, double y1, double x2, double y2, std::string_view attributi = {}) {
    s += "<line x1=\"";
    n(x1);
    s += "\" y1=\"";
    n(y1);
    s += "\" x2=\"";
    n(x2);
    s += "\" y2=\"";
    n(y2);
    s += '"';
    if (!attributi.empty()) (s += ' ') += attributi;
    s += "/>";
  }
  // Text at (x, y); `attributi` are written as they are.
  void scritta(double x, double y, std::string_view cp1252, std::string_view attributi = {}) {
    s += "<text x=\"";
    n(x);
    s += "\" y=\"";
    n(y);
    s += '"';
    if (!attributi.empty()) (s += ' ') += attributi;
    s += '>';
    t(cp1252);
    s += "</text>";
  }
  // One entry of a legend at (x, y): its symbol (SVG drawn round the origin) and, `scarto` to
  // the right, its words.
  void voce_legenda(double x, double y, std::string_view simbolo, std::string_view testo, double scarto) {
    s += "<g transform=\"translate(";
    n(x);
    s += ',';
    n(y);
    s += ")\">";
    s += simbolo;
    scritta(scarto, 4, testo);
    s += "</g>";
  }
  void rettangolo(double x, double y, double w, double h, std::string_view attributi) {
    s += "<rect x=\"";
    n(x);
    s += "\" y=\"";
    n(y);
    s += "\" width=\"";
    n(std::max(w, 0.0));
    s += "\" height=\"";
    n(std::max(h, 0.0));
    s += "\" ";
    s += attributi;
    s += "/>";
  }
  void apri(double w, double h, std::string_view figura, bool autonomo, std::string_view titolo_figura) {
    if (autonomo) s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<svg";
    if (autonomo) s += " xmlns=\"http://www.w3.org/2000/svg\"";
    s += " class=\"figura\" data-figura=\"";
    s += figura;
    s += "\" viewBox=\"0 0 ";
    n(w, 0);
    s += ' ';
    n(h, 0);
    s += "\" width=\"";
    n(w, 0);
    s += "\" height=\"";
    n(h, 0);
    s += "\" font-family=\"";
    s += font;
    s += "\" font-size=\"11\" role=\"img\">";
    titolo(titolo_figura);
    s += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>";
  }
};

// Where a position stands, for titles: metres from the start and the chainage.
std::string luogo(const Quadro& q, std::int64_t metri);

// A step of 1, 2 or 5 times a power of ten, the smallest at least `minimo`.
double passo_tondo(double minimo);

// A chainage tick: every few kilometres of chainage, and where the chainage restarts.
struct Tacca {
  std::int64_t metri = 0;
  std::int64_t progressiva = 0;
  bool ripresa = false;
};

// The ticks between two positions every `passo` metres of chainage, and at each restart (a
// chainage entry begins and the chainage jumps), in order of position. Plain ticks closer
// than `spazio` metres to a restart are left out, so their labels do not collide.
std::vector<Tacca> tacche(const std::array<Voce, numero_voci>& voci, std::int64_t da, std::int64_t a,
                          std::int64_t passo, double spazio);

// The speeds of a speed-indicator board for rank 0..2 (A, B, C): the first set and the second.
std::pair<int, int> velocita_indicatore(const Cella& c, int rango);

// Titles of features, in words.
std::string descrivi_indicatore(const Quadro& q, const PuntoCella& p);
std::string descrivi_segnale(const Quadro& q, const PuntoCella& p);
std::string descrivi_stazione(const Quadro& q, const StazioneVista& s);
std::string nome_galleria(const Galleria& g);

std::string figura_pianta(const Quadro& q, bool autonomo);
std::string figura_pendenze(const Quadro& q, bool autonomo);
std::string figura_velocita(const Quadro& q, bool autonomo);

}  // namespace scenario::disegno
