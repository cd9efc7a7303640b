// The figures' shared words and ticks, and the choice of figure.
#include <algorithm>
#include <cmath>

#include "tools/rendi_svg.h"

namespace scenario {
namespace disegno {

std::string luogo(const Quadro& q, std::int64_t metri) {
  return "at " + std::to_string(metri) + " m, chainage km " + km(progressiva(q.dati->voci, metri));
}

double passo_tondo(double minimo) {
  if (!(minimo > 0)) return 1;
  if (!std::isfinite(minimo) || minimo > 1e12) return 1e12;  // nothing to count in steps
  const double potenza = std::pow(10.0, std::floor(std::log10(minimo)));
  for (const double f : {1.0, 2.0, 5.0, 10.0}) {
    if (f * potenza >= minimo) return f * potenza;
  }
  return 10 * potenza;
}

std::vector<Tacca> tacche(const std::array<Voce, numero_voci>& voci, std::int64_t da, std::int64_t a,
                          std::int64_t passo, double spazio) {
  // The stretches of one offset: from `da`, and from each entry in use that begins inside.
  std::vector<std::int64_t> inizi{da};
  for (int i = voce_progressiva_tre; i <= voce_progressiva_uno; ++i) {
    const Voce& v = voci[static_cast<std::size_t>(i)];
    if (v.inizio_zona == 0 && v.fine_zona == 0 && v.posizione_m == 0) continue;
    if (v.inizio_zona > da && v.inizio_zona <= a) inizi.push_back(v.inizio_zona);
  }
  std::sort(inizi.begin(), inizi.end());
  inizi.erase(std::unique(inizi.begin(), inizi.end()), inizi.end());
  std::vector<Tacca> fuori;
  passo = std::max<std::int64_t>(passo, 1);
  for (std::size_t k = 0; k < inizi.size(); ++k) {
    const std::int64_t inizio = inizi[k];
    const std::int64_t fine = k + 1 < inizi.size() ? inizi[k + 1] : a + 1;
    const std::int64_t scarto = progressiva(voci, inizio) - inizio;
    const bool salto = k > 0 && progressiva(voci, inizio - 1) + 1 != progressiva(voci, inizio);
    if (salto) fuori.push_back({inizio, inizio + scarto, true});
    // First multiple of the step at or after the stretch's start, in chainage.
    const std::int64_t c0 = inizio + scarto;
    std::int64_t c = c0 >= 0 ? (c0 + passo - 1) / passo * passo : -((-c0) / passo * passo);
    for (; c - scarto < fine; c += passo) {
      if (salto && c == c0) continue;  // the restart tick stands there already
      fuori.push_back({c - scarto, c, false});
    }
  }
  std::vector<std::int64_t> riprese;
  for (const Tacca& t : fuori) {
    if (t.ripresa) riprese.push_back(t.metri);
  }
  std::erase_if(fuori, [&](const Tacca& t) {
    return !t.ripresa && std::any_of(riprese.begin(), riprese.end(), [&](std::int64_t r) {
      return std::fabs(static_cast<double>(t.metri - r)) < spazio;
    });
  });
  std::sort(fuori.begin(), fuori.end(), [](const Tacca& x, const Tacca& y) { return x.metri < y.metri; });
  return fuori;
}

std::pair<int, int> velocita_indicatore(const Cella& c, int rango) {
  const std::int16_t v = rango == 0 ? c.valore1 : rango == 1 ? c.valore2 : c.valore3;
  const int primo = v / 20;
  return {primo, (v - primo * 20) * 5};
}

std::string descrivi_indicatore(const Quadro& q, const PuntoCella& p) {
  std::string t = "Speed-indicator board " + luogo(q, p.posizione) + ": ranks A/B/C ";
  std::string secondo;
  for (int r = 0; r < 3; ++r) {
    const auto [a, b] = velocita_indicatore(*p.c, r);
    t += (r ? "/" : "") + std::to_string(a);
    secondo += (r ? "/" : "") + std::to_string(b);
  }
  t += " km/h";
  if (secondo != "0/0/0") t += ", second set " + secondo + " km/h";
  const int strisce = p.c->valore4;
  if (strisce != 0) t += ", stripes " + std::to_string(strisce / 10) + " and " + std::to_string(strisce % 10);
  return t;
}

std::string descrivi_segnale(const Quadro& q, const PuntoCella& p) {
  const Cella& c = *p.c;
  const int resto = c.valore4 % 10;
  std::string t = "Signal " + luogo(q, p.posizione) + " (cell " + std::to_string(p.cella) + "): s group " +
                  std::to_string(resto / 3) + " (" + std::to_string(c.valore1 / 10) + " " +
                  std::to_string(c.valore2 / 10) + " " + std::to_string(c.valore3 / 10) + "), d group " +
                  std::to_string(resto % 3) + " (" + std::to_string(c.valore1 % 10) + " " +
                  std::to_string(c.valore2 % 10) + " " + std::to_string(c.valore3 % 10) + ")";
  if (c.valore4 / 10 != 0) t += ", rapp " + std::to_string(c.valore4 / 10);
  if (c.tempo_segnale != 0) t += ", time " + std::to_string(c.tempo_segnale);
  return t;
}

std::string descrivi_stazione(const Quadro& q, const StazioneVista& s) {
  const Voce& v = *s.voce;
  std::string t = v.nome + ": station " + std::to_string(s.numero) + ", type " + std::to_string(v.tipo) + ", " +
                  luogo(q, v.posizione_m) + ", zone " + std::to_string(v.inizio_zona) + ".." +
                  std::to_string(v.fine_zona) + " m";
  if (s.cella_fermata) t += ", stop cell " + std::to_string(*s.cella_fermata);
  if (v.orario != 0) t += ", time " + testo::ora(v.orario);
  return t;
}

std::string nome_galleria(const Galleria& g) {
  return (g.nome.empty() ? std::string("Hill section") : "Tunnel " + g.nome) + ", " + std::to_string(g.inizio) +
         ".." + std::to_string(g.fine) + " m (" + std::to_string(g.fine - g.inizio) + " m), type " +
         std::to_string(g.tipo);
}


}  // namespace disegno

std::string svg_figura(const Quadro& q, Figura f, bool autonomo) {
  switch (f) {
    case Figura::pianta: return disegno::figura_pianta(q, autonomo);
    case Figura::pendenze: return disegno::figura_pendenze(q, autonomo);
    case Figura::velocita: return disegno::figura_velocita(q, autonomo);
  }
  return {};
}

}  // namespace scenario
