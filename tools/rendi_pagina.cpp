// The page of `percorso render`: one HTML file with its styles and figures inline, which
// loads nothing from anywhere (its content security policy forbids it) and needs no script.
#include <algorithm>

#include "tools/rendi.h"
#include "tools/rendi_testo.h"

namespace scenario {
namespace {

using testo::km;

constexpr std::string_view stile = R"(
:root { color-scheme: light; }
body { font-family: "DejaVu Sans", "Liberation Sans", Arial, Helvetica, sans-serif; margin: 0 auto;
       max-width: 1340px; padding: 16px 20px 40px; color: #222; background: #fff; font-size: 14px; }
h1 { font-size: 22px; margin: 4px 0 6px; }
h2 { font-size: 17px; margin: 28px 0 8px; border-bottom: 1px solid #ccc; padding-bottom: 3px; }
p.sommario { margin: 0 0 8px; color: #444; }
nav a { margin-right: 14px; color: #1f3a93; }
figure { margin: 0; }
figure svg { width: 100%; height: auto; display: block; border: 1px solid #ddd; }
figcaption { font-size: 12px; color: #555; margin-top: 4px; }
table { border-collapse: collapse; font-size: 12.5px; margin: 4px 0 8px; }
th, td { border: 1px solid #d5d5d5; padding: 2px 7px; text-align: left; vertical-align: top; }
th { background: #f2f2f2; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
tr:nth-child(even) td { background: #fafafa; }
.errore { color: #b00020; font-weight: bold; }
.avviso { color: #a15c00; font-weight: bold; }
.nota { color: #1f3a93; font-weight: bold; }
.nessuna { color: #2c6e49; }
code { font-family: "DejaVu Sans Mono", "Liberation Mono", monospace; font-size: 12px; }
@media print {
  @page { size: A4 landscape; margin: 12mm; }
  body { max-width: none; padding: 0; font-size: 10pt; }
  nav { display: none; }
  h2 { break-after: avoid; }
  figure { break-inside: avoid; }
  figure svg { border: none; }
  tr { break-inside: avoid; }
  a { color: inherit; text-decoration: none; }
}
)";

struct Html {
  std::string s;
  void t(std::string_view cp1252) { testo::xml(s, cp1252); }
  void cella(std::string_view cp1252) {
    s += "<td>";
    t(cp1252);
    s += "</td>";
  }
  void numero(std::int64_t v) {
    s += "<td class=\"n\">";
    testo::intero(s, v);
    s += "</td>";
  }
  void numero(std::string_view gia_scritto) {
    s += "<td class=\"n\">";
    t(gia_scritto);
    s += "</td>";
  }
  void intestazione(std::initializer_list<std::string_view> colonne) {
    s += "<table><thead><tr>";
    for (const auto c : colonne) {
      s += "<th>";
      t(c);
      s += "</th>";
    }
    s += "</tr></thead><tbody>";
  }
};

std::string_view parola(Gravita g) {
  switch (g) {
    case Gravita::errore: return "error";
    case Gravita::avviso: return "warning";
    case Gravita::nota: return "note";
  }
  return "error";
}

std::string_view classe(Gravita g) {
  switch (g) {
    case Gravita::errore: return "errore";
    case Gravita::avviso: return "avviso";
    case Gravita::nota: return "nota";
  }
  return "errore";
}

void diagnostiche_html(Html& h, std::span<const Diagnostica> diagnostiche) {
  h.s += "<section id=\"diagnostics\"><h2>Diagnostics</h2>";
  if (diagnostiche.empty()) {
    h.s += "<p class=\"nessuna\">No diagnostics: the descriptions compile clean.</p></section>";
    return;
  }
  std::array<int, 3> conti{};
  for (const Diagnostica& d : diagnostiche) ++conti[static_cast<std::size_t>(d.gravita)];
  h.s += "<p>";
  h.t(std::to_string(conti[0]) + (conti[0] == 1 ? " error, " : " errors, ") + std::to_string(conti[1]) +
      (conti[1] == 1 ? " warning, " : " warnings, ") + std::to_string(conti[2]) + (conti[2] == 1 ? " note." : " notes."));
  h.s += "</p>";
  h.intestazione({"", "where", "id", "message"});
  for (const Diagnostica& d : diagnostiche) {
    h.s += "<tr class=\"diagnostica\"><td class=\"";
    h.s += classe(d.gravita);
    h.s += "\">";
    h.s += parola(d.gravita);
    h.s += "</td><td><code>";
    std::string luogo = d.file;
    if (!d.file.empty() && d.linea > 0) {
      luogo += ":" + std::to_string(d.linea);
      if (d.colonna > 0) luogo += ":" + std::to_string(d.colonna);
    }
    h.t(luogo.empty() ? "-" : luogo);
    h.s += "</code></td><td><code>";
    h.t(d.id.empty() ? "-" : d.id);
    h.s += "</code></td>";
    h.cella(d.messaggio);
    h.s += "</tr>";
  }
  h.s += "</tbody></table></section>";
}

void stazioni_html(Html& h, const Quadro& q) {
  h.s += "<section id=\"stations\"><h2>Stations</h2>";
  if (q.stazioni.empty()) {
    h.s += "<p>No stations.</p></section>";
    return;
  }
  h.intestazione({"no.", "name", "position (m)", "chainage (km)", "zone (m)", "type", "stop or pass", "time"});
  for (const StazioneVista& s : q.stazioni) {
    const Voce& v = *s.voce;
    h.s += "<tr data-m=\"";
    testo::intero(h.s, v.posizione_m);
    h.s += "\">";
    h.numero(s.numero);
    h.cella(v.nome);
    h.numero(v.posizione_m);
    h.numero(km(progressiva(q.dati->voci, v.posizione_m)));
    h.cella(std::to_string(v.inizio_zona) + " .. " + std::to_string(v.fine_zona));
    h.numero(v.tipo);
    h.cella(s.cella_fermata ? "stop (cell " + std::to_string(*s.cella_fermata) + ")" : "pass");
    h.cella(v.orario != 0 ? testo::ora(v.orario) : "-");
    h.s += "</tr>";
  }
  h.s += "</tbody></table></section>";
}

void segnali_html(Html& h, const Quadro& q) {
  h.s += "<section id=\"signals\"><h2>Signals</h2>";
  if (q.segnali.empty()) {
    h.s += "<p>No signals.</p></section>";
    return;
  }
  h.intestazione({"position (m)", "chainage (km)", "cell", "s group", "d group", "rapp", "time"});
  for (const PuntoCella& p : q.segnali) {
    const Cella& c = *p.c;
    const int resto = c.valore4 % 10;
    h.s += "<tr data-m=\"";
    testo::intero(h.s, p.posizione);
    h.s += "\">";
    h.numero(p.posizione);
    h.numero(km(progressiva(q.dati->voci, p.posizione)));
    h.numero(p.cella);
    h.cella(std::to_string(resto / 3) + ": " + std::to_string(c.valore1 / 10) + " " + std::to_string(c.valore2 / 10) +
            " " + std::to_string(c.valore3 / 10));
    h.cella(std::to_string(resto % 3) + ": " + std::to_string(c.valore1 % 10) + " " + std::to_string(c.valore2 % 10) +
            " " + std::to_string(c.valore3 % 10));
    h.numero(c.valore4 / 10);
    h.numero(c.tempo_segnale);
    h.s += "</tr>";
  }
  h.s += "</tbody></table></section>";
}

void indicatori_html(Html& h, const Quadro& q) {
  h.s += "<section id=\"boards\"><h2>Speed-indicator boards</h2>";
  if (q.indicatori.empty()) {
    h.s += "<p>No boards.</p></section>";
    return;
  }
  h.intestazione({"position (m)", "chainage (km)", "A (km/h)", "B (km/h)", "C (km/h)", "second set A/B/C", "stripes"});
  for (const PuntoCella& p : q.indicatori) {
    const Cella& c = *p.c;
    h.s += "<tr data-m=\"";
    testo::intero(h.s, p.posizione);
    h.s += "\">";
    h.numero(p.posizione);
    h.numero(km(progressiva(q.dati->voci, p.posizione)));
    std::string secondo;
    for (const std::int16_t v : {c.valore1, c.valore2, c.valore3}) {
      const int primo = v / 20;
      h.numero(primo);
      secondo += (secondo.empty() ? "" : "/") + std::to_string((v - primo * 20) * 5);
    }
    h.cella(secondo == "0/0/0" ? "-" : secondo);
    h.cella(std::to_string(c.valore4 / 10) + " and " + std::to_string(c.valore4 % 10));
    h.s += "</tr>";
  }
  h.s += "</tbody></table></section>";
}

void gallerie_e_cartelli_html(Html& h, const Quadro& q) {
  h.s += "<section id=\"tunnels\"><h2>Tunnels and hill sections</h2>";
  if (q.gallerie.empty()) {
    h.s += "<p>None.</p>";
  } else {
    h.intestazione({"name", "from (m)", "to (m)", "length (m)", "chainage (km)", "type"});
    for (const Galleria& g : q.gallerie) {
      h.s += "<tr data-m=\"";
      testo::intero(h.s, g.inizio);
      h.s += "\">";
      h.cella(g.nome.empty() ? "-" : g.nome);
      h.numero(g.inizio);
      h.numero(g.fine);
      h.numero(g.fine - g.inizio);
      h.numero(km(progressiva(q.dati->voci, g.inizio)));
      h.numero(g.tipo);
      h.s += "</tr>";
    }
    h.s += "</tbody></table>";
  }
  h.s += "</section><section id=\"signs\"><h2>Signs</h2>";
  if (q.cartelli.empty()) {
    h.s += "<p>None.</p></section>";
    return;
  }
  h.intestazione({"position (m)", "chainage (km)", "text"});
  for (const PuntoCella& p : q.cartelli) {
    h.s += "<tr data-m=\"";
    testo::intero(h.s, p.posizione);
    h.s += "\">";
    h.numero(p.posizione);
    h.numero(km(progressiva(q.dati->voci, p.posizione)));
    h.s += "<td><code>";
    h.t(q.dati->voci[static_cast<std::size_t>(std::clamp<int>(p.c->valore1, 0, 86))].nome);
    h.s += "</code></td></tr>";
  }
  h.s += "</tbody></table></section>";
}

void figura_html(Html& h, const Quadro& q, Figura f, std::string_view id, std::string_view titolo,
                 std::string_view didascalia) {
  h.s += "<section id=\"";
  h.s += id;
  h.s += "\"><h2>";
  h.t(titolo);
  h.s += "</h2><figure>";
  h.s += svg_figura(q, f, false);
  h.s += "<figcaption>";
  h.t(didascalia);
  h.s += "</figcaption></figure></section>";
}

}  // namespace

std::string pagina_html(const Quadro& q, std::span<const Diagnostica> diagnostiche) {
  const DatiScenario& d = *q.dati;
  Html h;
  h.s.reserve(256 * 1024);
  h.s += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
         "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>";
  h.t(d.nome_percorso + " - " + d.nome_treno + ": plan, profiles, stations and signals");
  h.s += "</title><style>";
  h.s += stile;
  h.s += "</style></head>\n<body><header><h1>";
  h.t(d.nome_percorso + " \xB7 " + d.nome_treno);
  h.s += "</h1><p class=\"sommario\">";
  std::int64_t quota_min = 0, quota_max = 0;
  for (const auto& [m, mm] : q.quota) {
    quota_min = std::min(quota_min, mm);
    quota_max = std::max(quota_max, mm);
  }
  h.t("Line " + km(q.lunghezza) + " km (chainage km " + km(progressiva(d.voci, 0)) + " to " +
      km(progressiva(d.voci, q.lunghezza)) + ") and a " + km(coda_percorso) + " km run-out; " + std::to_string(q.stazioni.size()) +
      " stations, " + std::to_string(q.segnali.size()) + " signals, " + std::to_string(q.indicatori.size()) +
      " speed-indicator boards, " + std::to_string(q.curve.size()) + " curves, " + std::to_string(q.gallerie.size()) +
      " tunnels and hill sections; elevation " + std::to_string(quota_min / 1000) + " to " +
      std::to_string(quota_max / 1000) + " m from the start.");
  h.s += "</p><p class=\"sommario\">Drawn from ";
  h.t(d.origine);
  h.s += ".</p><nav><a href=\"#diagnostics\">Diagnostics</a><a href=\"#plan\">Plan</a><a href=\"#gradient\">Gradient</a>"
         "<a href=\"#speed\">Speed</a><a href=\"#stations\">Stations</a><a href=\"#signals\">Signals</a>"
         "<a href=\"#boards\">Boards</a><a href=\"#tunnels\">Tunnels</a><a href=\"#signs\">Signs</a></nav></header>\n<main>";
  diagnostiche_html(h, diagnostiche);
  figura_html(h, q, Figura::pianta, "plan", "Plan of the line",
              "To scale, up is the starting direction. Hover a feature for its details; curves are coloured by "
              "class with a dot on the side they turn to.");
  h.s += '\n';
  figura_html(h, q, Figura::pendenze, "gradient", "Gradient profile",
              "Elevation summed from the cells' gradients (50 m each), and the gradient itself, against distance "
              "from the start; the chainage row shows where the kilometres restart.");
  h.s += '\n';
  figura_html(h, q, Figura::velocita, "speed", "Speed profile",
              "Ranks A, B and C from the speed-indicator boards, the train's limit, slowdowns and speed caps; "
              "signals, boards and station stops in the rows below.");
  h.s += '\n';
  stazioni_html(h, q);
  segnali_html(h, q);
  indicatori_html(h, q);
  gallerie_e_cartelli_html(h, q);
  h.s += "</main><footer><p class=\"sommario\">Made by percorso render.</p></footer></body></html>\n";
  return h.s;
}

}  // namespace scenario
