// The compile step: read both descriptions, finish the cells with the completion pass, stamp
// the header marks and the scenario codes, and write the three binary files.
#include "compile/compile.h"

#include "documents/documents.h"
#include "model/codici.h"
#include "model/completamento.h"

namespace scenario {

EsitoCompilazione memorizza_percorso(Modello& m, std::int32_t scrivi_linea, const Descrizioni& d, Destinazione& dove) {
  EsitoCompilazione esito;
  m.scrivi_linea = scrivi_linea;
  azzera_voci(m);
  esito.esito = memorizza_dati(m, d);
  // Without cell 1 there is no header to stamp and nothing to write.
  if (m.celle.size() < 2) {
    esito.senza_celle = true;
    return esito;
  }
  esito.completamento = completa_celle(m);
  if (!esito.completamento.empty()) esito.esito = esito.completamento.back();
  Cella& intestazione = m.celle[1];
  std::int16_t& marca = campo(m.voci, testata::marca_linea);
  if (marca != 0 || intestazione.valore1 != 0) {
    esito.rapporto = rapporto::marca_occupata;
    return esito;
  }
  marca = marca_linea;
  intestazione.valore1 = marca_percorso;
  std::int32_t& pesato = campo(m.voci, testata::codice_pesato);
  if (pesato != 0 || intestazione.valore2 != 0) {
    esito.rapporto = rapporto::codice_occupato;
    return esito;
  }
  pesato = codice_gara_st(m);
  intestazione.valore2 = static_cast<std::int16_t>(codice_gara_og(m));
  esito.scrittura = scrivi_file_binari(m, dove);
  return esito;
}

std::optional<std::string> scrivi_documenti(Destinazione& dove, const std::string& nome_percorso,
                                            const std::string& nome_treno) {
  for (const DocumentoIncorporato& d : documenti_incorporati()) {
    const std::string nome = d.nome_file(nome_percorso, nome_treno);
    const auto testo = testo_documento(d);
    if (!testo) return nome + ": the document has more than 1000 lines";
    if (auto errore = dove.scrivi(nome, *testo)) return nome + ": " + *errore;
  }
  return std::nullopt;
}

std::string_view descrizione_codice(std::int32_t c) {
  switch (c) {
    case codice::nessuno: return "no error";
    case codice::lunghezza_eccessiva: return "the line is longer than 1,000,000 m";
    case codice::progressiva_non_multipla:
      return "a chainage entry starts or changes at a position that is not a multiple of 50 m";
    case codice::ripetizione_inizio:
      return "the cab-signal repetition starts at a position that is not a multiple of 50 m";
    case codice::ripetizione_fine: return "the cab-signal repetition ends at a position that is not a multiple of 50 m";
    case codice::ripetizione_codici: return "the cab-signal repetition row names neither 4 nor 9 codes";
    case codice::cartello_occupato: return "an indication sign falls on a cell that already holds a feature";
    case codice::abbattimento_occupato: return "a speed-cap point falls on a cell that already holds a feature";
    case codice::stazione_non_multipla: return "a station position is not a multiple of 50 m";
    case codice::zona_non_multipla: return "a station zone length is not a multiple of 100 m";
    case codice::troppe_stazioni: return "too many stations: they reach the entries taken by the sign texts";
    case codice::completamento_segnale:
      return "no free cell for the speed-cap point before a signal behind a slowdown warning board";
    case codice::completamento_avvicinamento: return "no free cell for a speed-cap point ahead of a slowdown";
    case codice::completamento_rallentamento: return "no free cell for a speed-cap point inside or just after a slowdown";
    case codice::fuori_percorso: return "a position lies beyond the end of the route";
    case codice::segnale_occupato: return "a signal falls on a cell that already holds a feature";
    case codice::avviso_occupato: return "a slowdown warning point falls on a cell that already holds a feature";
    case codice::inizio_occupato: return "a slowdown start falls on a cell that already holds a feature";
    case codice::fine_occupata: return "a slowdown end falls on a cell that already holds a feature";
    case codice::preavvisi_occupati: return "a slowdown pre-warning step falls on a cell that already holds a feature";
    case codice::indicatore_occupato: return "a speed-indicator board falls on a cell that already holds a feature";
    case codice::zone_vicine: return "a station zone starts less than 350 m after the previous station's zone ends";
    case codice::fermata_troppo_presto:
      return "a station's stop cell would be cell 1 or lower (its zone ends at 100 m or less)";
    case codice::guasto:
      return "the descriptions could not be read: a file is missing, a value is not a number or is too large "
             "for its field, a row is cut short by the end of the file, or a row reaches outside the route";
    case codice::linea_mancante: return "the line description is missing";
    case codice::generale_mancante: return "the line description has no \"[generale]\" block";
    case codice::curva_o_piano: return "a curve row has no class digit 1 to 6, or the plan of the line runs past 1,000,000 m";
    default: return "unknown error code";
  }
}

std::string_view descrizione_rapporto(std::int32_t r) {
  switch (r) {
    case rapporto::marca_occupata:
      return "cell 1 or the route header already holds a value where the header mark goes";
    case rapporto::codice_occupato:
      return "cell 1 or the route header already holds a value where the scenario code goes";
    default: return "unknown report";
  }
}

std::string parole_errore(const Modello& m) {
  return std::string(descrizione_codice(m.codice_errore)) + " (code " + std::to_string(m.codice_errore) +
         ", position " + std::to_string(m.posizione_errore) + " m)";
}

}  // namespace scenario
