#include <cstddef>

#include "output/codifica.h"
#include "output/output.h"

namespace scenario {

void pezzi_file_linea(const Tracciato& t, const Ricevi& ricevi) {
  constexpr std::size_t dimensione_pezzo = 1 << 16;
  char pezzo[dimensione_pezzo + 16];
  char* p = pezzo;
  for (std::size_t c = 0; c < 2; ++c) {
    const auto& etichette = t.etichette[c];
    const auto& valori = t.valori[c];
    for (std::size_t m = 0; m < etichette.size(); ++m) {
      p = scrivi_u16(p, static_cast<std::uint16_t>(etichette[m]));
      if (etichette[m] == Etichetta::intero) {
        p = scrivi_u16(p, static_cast<std::uint16_t>(static_cast<std::int16_t>(valori[m])));
      } else if (etichette[m] == Etichetta::doppio) {
        p = scrivi_u64(p, std::bit_cast<std::uint64_t>(valori[m]));
      }
      if (static_cast<std::size_t>(p - pezzo) >= dimensione_pezzo) {
        if (!ricevi(std::string_view(pezzo, static_cast<std::size_t>(p - pezzo)))) return;
        p = pezzo;
      }
    }
  }
  if (p != pezzo) ricevi(std::string_view(pezzo, static_cast<std::size_t>(p - pezzo)));
}

std::string file_linea(const Tracciato& t) {
  std::string out;
  pezzi_file_linea(t, [&out](std::string_view pezzo) {
    out.append(pezzo);
    return true;
  });
  return out;
}

std::string file_simulazione(const std::array<Voce, numero_voci>& voci) {
  std::string out;
  for (const Voce& v : voci) {
    campi_voce(v, [&out](const char*, const auto& campo) { metti(out, campo); });
  }
  return out;
}

std::string file_treno(const std::vector<Cella>& celle) {
  std::string out;
  out.reserve(celle.size() * dimensione_cella);
  for (const Cella& c : celle) {
    campi_cella(c, [&out](const char*, const auto& campo) { metti(out, campo); });
  }
  return out;
}

std::string nome_file_linea(const std::string& nome_percorso) { return nome_percorso + "_linea.dat"; }

std::string nome_file_simulazione(const std::string& nome_percorso, const std::string& nome_treno) {
  return nome_percorso + "_" + nome_treno + ".sim";
}

std::string nome_file_treno(const std::string& nome_percorso, const std::string& nome_treno) {
  return nome_percorso + "_" + nome_treno + ".dat";
}

EsitoScrittura scrivi_file_binari(const Modello& m, Destinazione& dove) {
  EsitoScrittura esito;
  auto scrivi = [&](const std::string& nome, const Pezzi& pezzi) {
    if (esito.guasto) return;
    if (auto errore = dove.scrivi_a_pezzi(nome, pezzi)) {
      esito.guasto = nome + ": " + *errore;
    } else {
      esito.scritti.push_back(nome);
    }
  };
  auto intero = [](std::string dati) { return [dati = std::move(dati)](const Ricevi& r) { r(dati); }; };
  if (m.scrivi_linea != 0) {
    scrivi(nome_file_linea(m.nome_percorso), [&m](const Ricevi& r) { pezzi_file_linea(m.tracciato, r); });
  }
  scrivi(nome_file_simulazione(m.nome_percorso, m.nome_treno), intero(file_simulazione(m.voci)));
  scrivi(nome_file_treno(m.nome_percorso, m.nome_treno), intero(file_treno(m.celle)));
  return esito;
}

}  // namespace scenario

namespace scenario {

std::optional<std::string> CartellaSuDisco::scrivi(const std::string& nome, std::string_view dati) {
  return scrivi_intero(cartella_ / nome, dati);
}

std::optional<std::string> CartellaSuDisco::scrivi_a_pezzi(const std::string& nome, const Pezzi& pezzi) {
  return scrivi_intero(cartella_ / nome, pezzi);
}

std::optional<std::string> Destinazione::scrivi_a_pezzi(const std::string& nome, const Pezzi& pezzi) {
  std::string tutto;
  pezzi([&tutto](std::string_view pezzo) {
    tutto.append(pezzo);
    return true;
  });
  return scrivi(nome, tutto);
}

}  // namespace scenario
