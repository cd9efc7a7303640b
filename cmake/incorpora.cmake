# Turns one document (Windows-1252 bytes, CR LF after every line) into a C++ table of its
# lines. Every byte is written as a hex escape, so the table holds exactly the file's bytes.
file(READ "${INGRESSO}" esadecimale HEX)
string(LENGTH "${esadecimale}" n)
set(righe "")
set(corrente "")
set(i 0)
set(prima_cr OFF)
while(i LESS n)
  string(SUBSTRING "${esadecimale}" ${i} 2 byte)
  math(EXPR i "${i} + 2")
  if(byte STREQUAL "0d")
    if(prima_cr)
      message(FATAL_ERROR "${INGRESSO}: a CR not followed by LF")
    endif()
    set(prima_cr ON)
  elseif(byte STREQUAL "0a")
    if(NOT prima_cr)
      message(FATAL_ERROR "${INGRESSO}: a line ends with LF alone; every line must end with CR LF")
    endif()
    set(prima_cr OFF)
    string(LENGTH "${corrente}" lc)
    math(EXPR lunghezza "${lc} / 4")
    string(APPEND righe "    std::string_view(\"${corrente}\", ${lunghezza}),\n")
    set(corrente "")
  else()
    if(prima_cr)
      message(FATAL_ERROR "${INGRESSO}: a CR not followed by LF")
    endif()
    string(APPEND corrente "\\x${byte}")
  endif()
endwhile()
if(NOT corrente STREQUAL "" OR prima_cr)
  message(FATAL_ERROR "${INGRESSO}: the last line has no CR LF")
endif()
file(WRITE "${USCITA}" "// Generated from ${INGRESSO}; do not edit.
#include <array>
#include <span>
#include <string_view>

namespace scenario {
namespace {
const std::string_view righe[] = {
${righe}    std::string_view(),
};
}  // namespace
std::span<const std::string_view> righe_${NOME}() { return {righe, sizeof(righe) / sizeof(righe[0]) - 1}; }
}  // namespace scenario
")
