# Writes the vorelline(1) manual page from the tool's own help: `vorelline --help` and every
# `vorelline COMMAND --help`. Run as: cmake -DTOOL=path -DOUT=vorelline.1 -P TvManPage.cmake
execute_process(COMMAND ${TOOL} --version OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} --version failed")
endif()
string(REGEX REPLACE "^vorelline " "" version "${version}")
execute_process(COMMAND ${TOOL} --help OUTPUT_VARIABLE overview)

# troff: a backslash is written as \e, and a line starting with a dot or quote is protected.
function(tv_roff_block text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

string(REGEX MATCH "commands:\n(([ ][ ][^\n]*\n)+)" _ "${overview}")
set(command_lines "${CMAKE_MATCH_1}")
# (MATCHALL lets ^ match where each search resumes, so lines are found by their newline.)
string(REGEX MATCHALL "\n  [a-z]+" commands "\n${command_lines}")

set(page ".TH VORELLINE 1 \"\" \"vorelline ${version}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nvorelline \\- measure, design, apply, export and inspect microphone corrections\n")
string(APPEND page ".SH SYNOPSIS\n.B vorelline\n.I COMMAND\n[\\fIOPTIONS\\fR]\n")
tv_roff_block("${overview}" block)
string(APPEND page ".SH DESCRIPTION\n${block}")
foreach(entry IN LISTS commands)
  string(STRIP "${entry}" command)
  execute_process(COMMAND ${TOOL} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} ${command} --help failed")
  endif()
  tv_roff_block("${help}" block)
  string(APPEND page ".SH \"vorelline ${command}\"\n${block}")
endforeach()
file(WRITE "${OUT}" "${page}")
