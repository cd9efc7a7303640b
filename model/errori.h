// Every number of the error state and of the numbered error report, each named once.
#pragma once

#include <cstdint>

namespace scenario {

// Codes of the route model's error state (`codice_errore`); 0 means no error.
namespace codice {
inline constexpr std::int32_t nessuno = 0;
inline constexpr std::int32_t lunghezza_eccessiva = 1;          // line length above 1,000,000 m
inline constexpr std::int32_t progressiva_non_multipla = 2;     // a chainage entry off the 50 m grid
inline constexpr std::int32_t ripetizione_inizio = 3;           // cab-signal repetition start off the grid
inline constexpr std::int32_t ripetizione_fine = 4;             // cab-signal repetition end off the grid
inline constexpr std::int32_t ripetizione_codici = 5;           // the repetition row names neither 4 nor 9
inline constexpr std::int32_t cartello_occupato = 6;            // a sign on a cell that is not free
inline constexpr std::int32_t abbattimento_occupato = 7;        // a speed cap on a cell that is not free
inline constexpr std::int32_t stazione_non_multipla = 8;        // a station off the 50 m grid
inline constexpr std::int32_t zona_non_multipla = 9;            // a zone length off the 100 m grid
inline constexpr std::int32_t troppe_stazioni = 10;             // stations reach the sign texts
inline constexpr std::int32_t completamento_segnale = 11;       // completion pass, rule A
inline constexpr std::int32_t completamento_avvicinamento = 12; // completion pass, rule B
inline constexpr std::int32_t completamento_rallentamento = 13; // completion pass, rules C and D
inline constexpr std::int32_t fuori_percorso = 15;              // a position beyond the route cells
inline constexpr std::int32_t segnale_occupato = 16;            // a signal on a cell that is not free
inline constexpr std::int32_t avviso_occupato = 17;             // a slowdown warning point, likewise
inline constexpr std::int32_t inizio_occupato = 18;             // a slowdown start, likewise
inline constexpr std::int32_t fine_occupata = 19;               // a slowdown end, likewise
inline constexpr std::int32_t preavvisi_occupati = 20;          // a slowdown pre-warning step, likewise
inline constexpr std::int32_t indicatore_occupato = 21;         // a speed-indicator board, likewise
inline constexpr std::int32_t zone_vicine = 22;                 // station zones less than 350 m apart
inline constexpr std::int32_t fermata_troppo_presto = 24;       // a stop cell at cell 1 or lower
inline constexpr std::int32_t guasto = 25;                      // a run-time failure while reading
inline constexpr std::int32_t linea_mancante = 101;             // the line description is missing
inline constexpr std::int32_t generale_mancante = 102;          // no "[generale]" block
inline constexpr std::int32_t curva_o_piano = 103;              // a curve without class, or the plan too long
}  // namespace codice

// Numbers of the numbered error report, raised by the compile step before anything is written.
namespace rapporto {
inline constexpr std::int32_t marca_occupata = 1250;   // the header mark's slots already hold a value
inline constexpr std::int32_t codice_occupato = 1251;  // the scenario codes' slots already hold a value
}  // namespace rapporto

}  // namespace scenario
