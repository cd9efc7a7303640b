// Every diagnostic id: its severity, the compile step's code it goes with, and a line that says
// what it means. `percorso explain ID` gives the long form from the reference.
#include "diagnostics/diagnostics.h"
#include "model/errori.h"

namespace scenario {
namespace {

constexpr Gravita E = Gravita::errore;
constexpr Gravita W = Gravita::avviso;
constexpr std::optional<std::int32_t> nessuno = std::nullopt;

const Identificativo tabella[] = {
    {"line-too-long", E, codice::lunghezza_eccessiva, "the line length is above 1,000,000 m"},
    {"chainage-not-multiple", E, codice::progressiva_non_multipla,
     "a chainage row's position or value is not a multiple of 50 m"},
    {"cab-signal-start-not-multiple", E, codice::ripetizione_inizio,
     "the cab-signal repetition starts at a position that is not a multiple of 50 m"},
    {"cab-signal-end-not-multiple", E, codice::ripetizione_fine,
     "the cab-signal repetition ends at a position that is not a multiple of 50 m"},
    {"cab-signal-code-count", E, codice::ripetizione_codici, "the cab-signal repetition row names neither 4 nor 9 codes"},
    {"sign-cell-taken", E, codice::cartello_occupato, "a sign falls on a cell that already holds a feature"},
    {"speed-cap-cell-taken", E, codice::abbattimento_occupato, "a speed-cap point falls on a cell that is not free"},
    {"station-position-not-multiple", E, codice::stazione_non_multipla, "a station position is not a multiple of 50 m"},
    {"station-zone-not-multiple", E, codice::zona_non_multipla, "a station zone length is not a multiple of 100 m"},
    {"too-many-stations", E, codice::troppe_stazioni, "the stations reach the entries taken by the sign texts"},
    {"no-cell-for-signal-cap", E, codice::completamento_segnale,
     "no free cell for the speed-cap point before a signal behind a slowdown warning board"},
    {"no-cell-ahead-of-slowdown", E, codice::completamento_avvicinamento,
     "no free cell for a speed-cap point ahead of a slowdown"},
    {"no-cell-in-slowdown", E, codice::completamento_rallentamento,
     "no free cell for a speed-cap point inside a slow slowdown or before a signal just after it"},
    {"beyond-route", E, codice::fuori_percorso, "a row's position lies beyond the route (line length + 7000 m)"},
    {"signal-cell-taken", E, codice::segnale_occupato, "a signal falls on a cell that is not free"},
    {"slowdown-warning-cell-taken", E, codice::avviso_occupato, "a slowdown's warning point falls on a cell that is not free"},
    {"slowdown-start-cell-taken", E, codice::inizio_occupato, "a slowdown's start falls on a cell that is not free"},
    {"slowdown-end-cell-taken", E, codice::fine_occupata, "a slowdown's end falls on a cell that is not free"},
    {"slowdown-steps-cell-taken", E, codice::preavvisi_occupati, "a slowdown's pre-warning steps fall on a cell that is not free"},
    {"board-cell-taken", E, codice::indicatore_occupato, "a speed-indicator board falls on a cell that is not free"},
    {"stations-too-close", E, codice::zone_vicine, "a station zone starts less than 350 m after the previous zone ends"},
    {"stop-cell-too-early", E, codice::fermata_troppo_presto, "a station's stop cell would be cell 1 or lower"},
    {"not-a-number", E, codice::guasto, "a value field is not a whole number"},
    {"value-too-large", E, codice::guasto, "a number is too large for its field"},
    {"row-cut-short", E, codice::guasto, "the file ends inside a row"},
    {"no-line-length", E, codice::guasto, "the line description has no length row: the route has no cells"},
    {"outside-route", E, codice::guasto, "a row reaches outside the route's cells or the plan of the line"},
    {"too-many-hill-sections", E, codice::guasto, "more than 80 hill sections"},
    {"too-many-signs", E, codice::guasto, "more than 80 signs"},
    {"line-description-missing", E, codice::linea_mancante, "the line description cannot be read"},
    {"no-general-block", E, codice::generale_mancante, "the description has no \"[generale]\" block"},
    {"curve-without-class", E, codice::curva_o_piano, "a curve keyword has no class digit 1 to 6"},
    {"plan-too-long", E, codice::curva_o_piano, "the plan of the line would run past metre 1,000,000"},
    {"header-mark-taken", E, rapporto::marca_occupata, "cell 1 already holds a value where the header mark goes"},
    {"scenario-code-taken", E, rapporto::codice_occupato, "cell 1 already holds a value where the scenario code goes"},
    {"empty-file", E, nessuno, "the description is empty"},
    {"binary-content", E, nessuno, "the file holds binary bytes: it is not a description"},
    {"utf16-content", E, nessuno, "the file is UTF-16 text; descriptions are Windows-1252"},
    {"swapped-descriptions", E, nessuno, "the train description was given as the line description, or the other way round"},
    {"unreadable-file", E, nessuno, "an input cannot be read"},
    {"bad-name", E, nessuno, "a route or train name that cannot name the files"},
    {"bad-usage", E, nessuno, "a command line percorso does not understand"},
    {"unknown-keyword", W, nessuno, "a field that is no row's keyword: the row is passed over"},
    {"row-without-effect", W, nessuno, "a row where it has no effect"},
    {"out-of-order", W, nessuno, "rows of one kind not in increasing order of position"},
    {"stations-out-of-order", W, nessuno, "station rows not in the order of the line"},
    {"duplicate-section", W, nessuno, "a section header given twice"},
    {"duplicate-row", W, nessuno, "a row given twice: the later one wins or adds nothing"},
    {"value-wraps", W, nessuno, "a value stored in a field too narrow for it: what is stored is not what was written"},
    {"precision-lost", W, nessuno, "a value that cannot be stored exactly"},
    {"decimal-comma", W, nessuno, "a number written with a decimal comma: the part after it becomes a field of its own"},
    {"extra-field", W, nessuno, "fields beyond the row's count on its line"},
    {"row-spans-lines", W, nessuno, "a row short of fields on its line takes them from the next line"},
    {"beyond-line-end", W, nessuno, "a position past the line's length, in the run-out"},
    {"utf8-text", W, nessuno, "UTF-8 text in a file read as Windows-1252"},
    {"control-character", W, nessuno, "a control byte in a field"},
    {"keyword-inside-word", W, nessuno, "a keyword found inside other words of the field"},
    {"clashing-features", W, nessuno, "features that overwrite each other without an error"},
    {"speed-disagrees-with-boards", W, nessuno, "a train speed limit differs from the rank C speed of the boards in force"},
    {"first-row-not-at-zero", W, nessuno, "the first speed or adhesion row is not at 0 m"},
    {"empty-name", W, nessuno, "the route or train name is empty"},
};

}  // namespace

std::span<const Identificativo> identificativi() { return tabella; }

}  // namespace scenario
