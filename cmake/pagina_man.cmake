# Makes percorso's man page with help2man: the page is the tool's own --help and --version,
# with a section that holds the --help of every subcommand (each ends with its examples) and
# a pointer to the author's reference. Arguments: PERCORSO (the built program), HELP2MAN,
# USCITA (the page to write), DOCDIR (where the reference is installed, under the prefix).
execute_process(COMMAND "${PERCORSO}" --help OUTPUT_VARIABLE aiuto RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "${PERCORSO} --help failed: ${esito}")
endif()
string(FIND "${aiuto}" "Subcommands:" inizio)
if(inizio LESS 0)
  message(FATAL_ERROR "${PERCORSO} --help lists no subcommands")
endif()
string(SUBSTRING "${aiuto}" ${inizio} -1 elenco)
# The list ends at the first blank line; the examples below it are not commands.
string(FIND "${elenco}" "\n\n" fine)
string(SUBSTRING "${elenco}" 0 ${fine} elenco)
string(REGEX MATCHALL "\n  [a-z]+ " righe "${elenco}")

set(aggiunta "[COMMANDS]\n")
foreach(riga IN LISTS righe)
  string(STRIP "${riga}" comando)
  execute_process(COMMAND "${PERCORSO}" ${comando} --help OUTPUT_VARIABLE testo RESULT_VARIABLE esito)
  if(NOT esito EQUAL 0)
    message(FATAL_ERROR "${PERCORSO} ${comando} --help failed: ${esito}")
  endif()
  # Verbatim text for roff: backslashes escaped, lines that start with a control character guarded.
  string(REPLACE "\\" "\\e" testo "${testo}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" testo "${testo}")
  string(APPEND aggiunta ".SS \"percorso ${comando}\"\n.nf\n${testo}.fi\n")
endforeach()
string(APPEND aggiunta "
[SEE ALSO]
The author's reference, installed with the programs in
.IR ${DOCDIR}
under the installation prefix:
README.md (the index), descriptions.md (the two descriptions, field by field),
binary-files.md (the three binary files, byte by byte) and errors.md (every error code,
numbered report and diagnostic).
.B percorso explain
.I KEY
prints one entry of errors.md.
")

get_filename_component(cartella "${USCITA}" DIRECTORY)
file(MAKE_DIRECTORY "${cartella}")
file(WRITE "${USCITA}.include" "${aggiunta}")
execute_process(
  COMMAND "${HELP2MAN}" --no-info --section=1 "--name=compile, check and inspect train-driving scenarios"
          "--include=${USCITA}.include" "--output=${USCITA}.nuova" "${PERCORSO}"
  RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "help2man failed: ${esito}")
endif()
# help2man fills the examples into one paragraph: keep them one a line.
file(READ "${USCITA}.nuova" pagina)
string(FIND "${pagina}" ".SH EXAMPLES\n.IP\n" esempi)
if(esempi GREATER_EQUAL 0)
  string(SUBSTRING "${pagina}" 0 ${esempi} prima)
  math(EXPR dopo "${esempi} + 17")
  string(SUBSTRING "${pagina}" ${dopo} -1 resto)
  string(FIND "${resto}" "\n.SH " fine)
  string(SUBSTRING "${resto}" 0 ${fine} righe)
  string(SUBSTRING "${resto}" ${fine} -1 resto)
  set(pagina "${prima}.SH EXAMPLES\n.nf\n${righe}\n.fi${resto}")
endif()
file(WRITE "${USCITA}" "${pagina}")
file(REMOVE "${USCITA}.nuova")
