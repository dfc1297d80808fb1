# Writes corvel-level(6) from the tool's own help: help2man turns `corvel-level --help` and
# `--version` into the page, and a COMMANDS section gives each command's `--help` in full, for every
# command that the top-level help lists, so that the page names every command the tool has.
# cmake -DTOOL=corvel-level -DHELP2MAN=help2man -DOUT=corvel-level.6 -DRELEASE_DATE=YYYY-MM-DD -P make_manual_page.cmake
cmake_policy(VERSION 3.25)

# The page carries the release's date, not the build's, so that every build writes the same page.
execute_process(COMMAND date -u -d "${RELEASE_DATE}" +%s OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")

function(run_tool out)
  execute_process(COMMAND "${TOOL}" ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} ${ARGN} failed (${status})")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text as roff shows it unchanged: backslashes and dashes escaped, no line taken for a request.
function(as_roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The commands are the first words of the lines of the top-level help's "Commands:" list.
run_tool(help --help)
string(REGEX MATCH "\nCommands:\n.*" listed "${help}")
string(REGEX MATCHALL "\n  [a-z]+" commands "${listed}")
list(TRANSFORM commands STRIP)
if(NOT commands)
  message(FATAL_ERROR "${TOOL} --help lists no commands")
endif()

# One command's --help as roff: its description and usage as paragraphs, and each argument and
# option of its lists as a tagged paragraph. The help sets a name in the first 30 columns, and its
# explanation after it or, when the name is longer, on lines of its own indented by 30.
function(command_section out command)
  run_tool(text ${command} --help)
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(roff ".SS \"corvel\\-level ${command}\"\n")
  foreach(line IN LISTS lines)
    string(LENGTH "${line}" length)
    set(name "")
    set(explanation "")
    if(line MATCHES "^                              +(.*)")
      set(explanation "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^  [^ ]")
      string(SUBSTRING "${line}" 29 1 gap)
      if(length GREATER 30 AND gap STREQUAL " ")
        string(SUBSTRING "${line}" 2 27 name)
        string(SUBSTRING "${line}" 30 -1 explanation)
      else()
        set(name "${line}")
      endif()
      string(STRIP "${name}" name)
      as_roff(name "${name}")
      string(APPEND roff ".TP\n.B ${name}\n")
    elseif(line MATCHES "^Usage: (.*)")
      as_roff(name "${CMAKE_MATCH_1}")
      string(APPEND roff ".PP\n.B ${name}\n")
    elseif(NOT line STREQUAL "" AND NOT line MATCHES "COMMAND --help explains")
      string(APPEND roff ".PP\n")
      set(explanation "${line}")
    endif()
    if(NOT explanation STREQUAL "")
      as_roff(explanation "${explanation}")
      string(APPEND roff "${explanation}\n")
    endif()
  endforeach()
  string(REPLACE "<semicolon>" ";" roff "${roff}")
  set(${out} "${roff}" PARENT_SCOPE)
endfunction()

set(sections "[COMMANDS]\n")
foreach(command IN LISTS commands)
  command_section(roff ${command})
  string(APPEND sections "${roff}")
endforeach()
string(APPEND sections "[SEE ALSO]\n.BR corvel (6),\nthe game, which reads its level from\n.I GameData.dat\nin the folder it starts in.\n")
set(include "${OUT}.sections")
file(WRITE "${include}" "${sections}")

execute_process(COMMAND "${HELP2MAN}" --no-info --section 6 --manual "Games"
                        --name "show, play, render, check, solve and generate levels of Corvel and the Brugak"
                        --include "${include}" --output "${OUT}" "${TOOL}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed (${status})")
endif()
