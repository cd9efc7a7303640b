#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <iostream>

#include "app/app.h"

namespace scenario {
namespace {

// No display: the wait text and the messages go to standard error.
class SchermoTestuale final : public Schermo {
 public:
  void mostra_attesa() override { std::cerr << "Attendere" << std::endl; }
  void chiudi_attesa() override {}
  void messaggio(const std::string& testo) override { std::cerr << testo << std::endl; }
  void nota(const std::string& testo) override { std::cerr << testo << std::endl; }
};

// The window "Form1", 280 by 179 pixels, with the label "Attendere" in large bold sans-serif.
class SchermoFinestra final : public Schermo {
 public:
  SchermoFinestra() : finestra_(280, 179, "Form1"), etichetta_(64, 64, 177, 53, "Attendere") {
    etichetta_.labelfont(FL_HELVETICA_BOLD);
    etichetta_.labelsize(32);
    etichetta_.align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
    finestra_.end();
  }
  void mostra_attesa() override {
    finestra_.show();
    // Paint now: the work that follows does not return to the event loop. Wait (briefly)
    // until the server has mapped the window, so the drawing is not lost before it shows.
    for (int i = 0; i < 100 && !finestra_.visible_r(); ++i) Fl::wait(0.01);
    for (int i = 0; i < 5; ++i) Fl::wait(0.01);
    finestra_.redraw();
    Fl::flush();
    XSync(fl_display, False);
  }
  void chiudi_attesa() override {
    finestra_.hide();
    Fl::check();
  }
  void messaggio(const std::string& testo) override {
    fl_message_title_default("scenario");
    fl_message_hotspot(0);
    fl_close = "OK";  // the box's one button
    fl_message("%s", testo.c_str());
  }
  // The window has only its wait label; a passing note goes where a console would show it.
  void nota(const std::string& testo) override { std::cerr << testo << std::endl; }

 private:
  Fl_Window finestra_;
  Fl_Box etichetta_;
};

// The connection to the display, or null when none can be opened. The same connection is
// handed to the toolkit: an X server resets when its last client leaves, so closing a probe
// connection and opening another can find the server in the middle of that reset.
//
// A server in the middle of that reset refuses connections for a moment, so a display that is
// named but refuses is tried again for up to a second before the program falls back to
// standard error.
Display* apri_display() {
  const char* nome = std::getenv("DISPLAY");
  if (nome == nullptr || *nome == '\0') return nullptr;
  constexpr int tentativi = 20;
  for (int i = 0; i < tentativi; ++i) {
    if (Display* d = XOpenDisplay(nome)) return d;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<Schermo> apri_schermo() {
  if (Display* d = apri_display()) {
    fl_open_display(d);
    return std::make_unique<SchermoFinestra>();
  }
  return std::make_unique<SchermoTestuale>();
}

}  // namespace scenario
