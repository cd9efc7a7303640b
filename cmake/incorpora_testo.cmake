# Turns a text file (any bytes, any line ends) into a C++ function that returns its bytes:
# `std::string_view NOME()`. Every byte is written as a hex escape, one source line per line
# of the file, so the program carries the exact text and needs no file at run time.
file(READ "${INGRESSO}" esadecimale HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escape "${esadecimale}")
string(REPLACE "\\x0a" "\\x0a\"\n    \"" escape "${escape}")
file(WRITE "${USCITA}" "// Generated from ${INGRESSO}; do not edit.
#include <string_view>

namespace scenario {
namespace {
constexpr char testo[] =
    \"${escape}\";
}  // namespace
std::string_view ${NOME}() { return {testo, sizeof(testo) - 1}; }
}  // namespace scenario
")
