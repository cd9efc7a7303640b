# Installs the build in CARTELLA_BUILD into the fresh folder PREFISSO and checks what landed.
file(REMOVE_RECURSE "${PREFISSO}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${CARTELLA_BUILD}" --prefix "${PREFISSO}"
                RESULT_VARIABLE esito OUTPUT_QUIET)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${esito}")
endif()
foreach(atteso IN ITEMS bin/scenario bin/percorso share/man/man1/percorso.1 share/doc/scenario/README.md
                        share/doc/scenario/descriptions.md share/doc/scenario/binary-files.md
                        share/doc/scenario/errors.md)
  if(NOT EXISTS "${PREFISSO}/${atteso}")
    message(FATAL_ERROR "not installed: ${atteso}")
  endif()
endforeach()

# The man page holds the tool's help and every subcommand's, examples included.
file(READ "${PREFISSO}/share/man/man1/percorso.1" pagina)
foreach(atteso IN ITEMS ".TH PERCORSO \"1\"" ".SS \"percorso dump\"" ".SS \"percorso explain\"" "percorso explain 25")
  string(FIND "${pagina}" "${atteso}" dove)
  if(dove LESS 0)
    message(FATAL_ERROR "the man page lacks: ${atteso}")
  endif()
endforeach()

# The installed tool carries its error reference: run from a folder with nothing in it.
file(MAKE_DIRECTORY "${PREFISSO}/vuota")
execute_process(COMMAND "${PREFISSO}/bin/percorso" explain 25 WORKING_DIRECTORY "${PREFISSO}/vuota"
                RESULT_VARIABLE esito OUTPUT_VARIABLE testo)
string(FIND "${testo}" "Code 25:" dove)
if(NOT esito EQUAL 0 OR dove LESS 0)
  message(FATAL_ERROR "the installed percorso explain 25 gave ${esito}: ${testo}")
endif()
file(REMOVE_RECURSE "${PREFISSO}")
