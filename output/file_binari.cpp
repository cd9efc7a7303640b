#include <cstddef>

#include "output/codifica.h"
#include "output/output.h"

namespace scenario {

std::string file_linea(const Tracciato& t) {
  std::string out;
  std::size_t dimensione = 0;
  for (int c = 0; c < 2; ++c) {
    for (Etichetta e : t.etichette[c]) {
      dimensione += e == Etichetta::doppio ? 10 : e == Etichetta::intero ? 4 : 2;
    }
  }
  out.reserve(dimensione);
  for (int c = 0; c < 2; ++c) {
    const auto& etichette = t.etichette[c];
    const auto& valori = t.valori[c];
    for (std::size_t m = 0; m < etichette.size(); ++m) {
      put_u16(out, static_cast<std::uint16_t>(etichette[m]));
      if (etichette[m] == Etichetta::intero) {
        put_i16(out, static_cast<std::int16_t>(valori[m]));
      } else if (etichette[m] == Etichetta::doppio) {
        put_f64(out, valori[m]);
      }
    }
  }
  return out;
}

std::string file_simulazione(const std::array<Voce, numero_voci>& voci) {
  std::string out;
  for (const Voce& v : voci) {
    put_u8(out, v.tipo);
    put_i32(out, v.inizio_zona);
    put_i32(out, v.fine_zona);
    put_i32(out, v.posizione_m);
    put_u8(out, v.classe);
    // The length field is 16 bits; a longer name is cut so that field and bytes agree.
    const std::size_t n = v.nome.size() > 32767 ? 32767 : v.nome.size();
    put_i16(out, static_cast<std::int16_t>(n));
    out.append(v.nome, 0, n);
    put_i16(out, v.parametro_1);
    put_i16(out, v.parametro_2);
    put_i16(out, v.parametro_3);
    put_i16(out, v.parametro_4);
    put_i16(out, v.parametro_5);
    put_u8(out, v.opzione_1);
    put_u8(out, v.opzione_2);
    put_u8(out, v.opzione_3);
    put_u8(out, v.opzione_4);
    put_i32(out, v.orario);
  }
  return out;
}

std::string file_treno(const std::vector<Cella>& celle) {
  std::string out;
  out.reserve(celle.size() * 15);
  for (const Cella& c : celle) {
    put_u8(out, c.tipo);
    put_i16(out, c.valore1);
    put_i16(out, c.valore2);
    put_i16(out, c.valore3);
    put_i16(out, c.valore4);
    put_u8(out, c.tempo_segnale);
    put_u8(out, c.preavviso);
    put_u8(out, c.tipo_montagna);
    put_u8(out, c.velocita);
    put_u8(out, c.pendenza);
    put_u8(out, c.aderenza);
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
  auto scrivi = [&](const std::string& nome, const std::string& dati) {
    if (esito.guasto) return;
    if (auto errore = dove.scrivi(nome, dati)) {
      esito.guasto = nome + ": " + *errore;
    } else {
      esito.scritti.push_back(nome);
    }
  };
  if (m.scrivi_linea != 0) scrivi(nome_file_linea(m.nome_percorso), file_linea(m.tracciato));
  scrivi(nome_file_simulazione(m.nome_percorso, m.nome_treno), file_simulazione(m.voci));
  scrivi(nome_file_treno(m.nome_percorso, m.nome_treno), file_treno(m.celle));
  return esito;
}

}  // namespace scenario
