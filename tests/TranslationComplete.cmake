# Runs lupdate over the sources into a copy of the translation file and fails
# when the copy holds an unfinished entry: a text without its translation, or
# one the sources gained that the file does not have yet.
# Arguments: LUPDATE, OPTIONS (a list), SOURCES (a folder), TS, WORK (a folder).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
get_filename_component(name "${TS}" NAME)
set(copy "${WORK}/${name}")
file(COPY_FILE "${TS}" "${copy}")
execute_process(
  COMMAND "${LUPDATE}" ${OPTIONS} -no-obsolete "${SOURCES}" -ts "${copy}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status}):\n${output}")
endif()
file(READ "${copy}" text)
string(REGEX MATCHALL "<source>[^<]*</source>[ \t\r\n]*<translation type=\"unfinished\"" unfinished "${text}")
list(LENGTH unfinished count)
if(count GREATER 0)
  string(REGEX REPLACE "<source>([^<]*)</source>[ \t\r\n]*<translation type=\"unfinished\"" "\\1" unfinished
    "${unfinished}")
  string(REPLACE ";" "\n  " unfinished "${unfinished}")
  message(FATAL_ERROR "${count} text(s) of the sources without an English translation in ${TS}:\n  ${unfinished}\n"
    "Build the target update_translations and translate them.")
endif()
message(STATUS "every text of the sources is translated")
