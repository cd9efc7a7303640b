// PNG and PDF from the figures' SVG: the same drawing, rendered by the system's SVG library
// onto a cairo surface, so there is one drawing and no second back-end to keep in step.
#include <cairo-pdf.h>
#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <memory>

#include "tools/rendi.h"

namespace scenario {
namespace {

cairo_status_t accoda(void* destinazione, const unsigned char* dati, unsigned int lunghezza) {
  static_cast<std::string*>(destinazione)->append(reinterpret_cast<const char*>(dati), lunghezza);
  return CAIRO_STATUS_SUCCESS;
}

struct LiberaHandle {
  void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
struct LiberaSuperficie {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct LiberaContesto {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

std::string motivo(GError* e, std::string_view predefinito) {
  std::string m = e != nullptr && e->message != nullptr ? e->message : std::string(predefinito);
  if (e != nullptr) g_error_free(e);
  return m;
}

}  // namespace

std::optional<std::string> converti_svg(std::string_view svg, Formato formato, std::string& uscita) {
  uscita.clear();
  if (formato == Formato::svg) {
    uscita.assign(svg);
    return std::nullopt;
  }
  GError* errore = nullptr;
  std::unique_ptr<RsvgHandle, LiberaHandle> h(
      rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &errore));
  if (!h) return "the figure is not a drawable SVG document: " + motivo(errore, "unknown reason");
  double w = 0, hh = 0;
  if (!rsvg_handle_get_intrinsic_size_in_pixels(h.get(), &w, &hh) || !(w > 0) || !(hh > 0) || w > 20000 ||
      hh > 20000) {
    return std::string("the figure has no size in pixels");
  }
  // PNG at twice the size for sharp text; PDF in points (3/4 of a CSS pixel).
  const double fattore = formato == Formato::png ? 2.0 : 0.75;
  const double larghezza = w * fattore, altezza = hh * fattore;
  std::unique_ptr<cairo_surface_t, LiberaSuperficie> superficie(
      formato == Formato::png ? cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(larghezza)),
                                                           static_cast<int>(std::ceil(altezza)))
                              : cairo_pdf_surface_create_for_stream(accoda, &uscita, larghezza, altezza));
  if (cairo_surface_status(superficie.get()) != CAIRO_STATUS_SUCCESS) {
    return std::string("cannot make the drawing surface: ") + cairo_status_to_string(cairo_surface_status(superficie.get()));
  }
  {
    std::unique_ptr<cairo_t, LiberaContesto> cr(cairo_create(superficie.get()));
    const RsvgRectangle riquadro{0, 0, larghezza, altezza};
    if (!rsvg_handle_render_document(h.get(), cr.get(), &riquadro, &errore)) {
      return "cannot draw the figure: " + motivo(errore, "unknown reason");
    }
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
      return std::string("cannot draw the figure: ") + cairo_status_to_string(cairo_status(cr.get()));
    }
  }
  if (formato == Formato::png) {
    const cairo_status_t s = cairo_surface_write_to_png_stream(superficie.get(), accoda, &uscita);
    if (s != CAIRO_STATUS_SUCCESS) return std::string("cannot encode the PNG: ") + cairo_status_to_string(s);
  } else {
    cairo_surface_finish(superficie.get());
    if (cairo_surface_status(superficie.get()) != CAIRO_STATUS_SUCCESS) {
      return std::string("cannot finish the PDF: ") + cairo_status_to_string(cairo_surface_status(superficie.get()));
    }
  }
  return std::nullopt;
}

}  // namespace scenario
