# Writes a program's manual page (man section 1, gzipped) from its --help and
# --version, as the build runs it:
#   cmake -DPROGRAM=path -DOUTPUT=file.1.gz [-DEXTRA=sections.roff] -P help2man.cmake
#
# The help reads: "Usage: NAME ...", the summary (lines indented by two
# blanks are "term  text" entries), a blank line, "Options:" with one option a
# line, a blank line, and "Exit status: 0 text, 1 text, ...". EXTRA holds
# further sections in roff, put after EXIT STATUS.
cmake_minimum_required(VERSION 3.25)

# The programs answer --help and --version without a display.
set(ENV{QT_QPA_PLATFORM} offscreen)
foreach(ask help version)
    execute_process(COMMAND ${PROGRAM} --${ask} OUTPUT_VARIABLE ${ask}_text
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${PROGRAM} --${ask} exited with ${status}")
    endif()
endforeach()

# Text as roff: backslashes and hyphens escaped, no line read as a request.
function(roff_text text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# "  term   text" as a tagged paragraph, the term in bold; any other line as text.
function(roff_entry line out)
    if(line MATCHES "^  +(.*[^ ])  +([^ ].*)$")
        roff_text("${CMAKE_MATCH_1}" term)
        roff_text("${CMAKE_MATCH_2}" text)
        set(${out} ".TP\n\\fB${term}\\fR\n${text}\n" PARENT_SCOPE)
    elseif(line MATCHES "^ *$")
        set(${out} "" PARENT_SCOPE)
    else()
        string(STRIP "${line}" line)
        roff_text("${line}" text)
        set(${out} ".PP\n${text}\n" PARENT_SCOPE)
    endif()
endfunction()

string(STRIP "${version_text}" version_text)
string(REGEX REPLACE "^([^ ]+) +(.*)$" "\\1" name "${version_text}")
string(REGEX REPLACE "^([^ ]+) +(.*)$" "\\2" version "${version_text}")

# The help by lines; a semicolon would split a line, so it travels as a mark.
string(REPLACE ";" "<semicolon>" help_text "${help_text}")
string(REPLACE "\n" ";" lines "${help_text}")
set(part usage)
set(synopsis "")
set(summary "")
set(description "")
set(options "")
set(exit_status "")
foreach(line IN LISTS lines)
    string(REPLACE "<semicolon>" ";" line "${line}")
    if(part STREQUAL "usage")
        string(REGEX REPLACE "^Usage: [^ ]+ ?" "" synopsis "${line}")
        set(part summary)
    elseif(line STREQUAL "Options:")
        set(part options)
    elseif(line MATCHES "^Exit status: (.*)$")
        set(exit_status "${CMAKE_MATCH_1}")
    elseif(part STREQUAL "summary")
        if(summary STREQUAL "")
            set(summary "${line}")
        endif()
        roff_entry("${line}" entry)
        string(APPEND description "${entry}")
    elseif(part STREQUAL "options")
        roff_entry("${line}" entry)
        string(APPEND options "${entry}")
    endif()
endforeach()
if(exit_status STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} --help gives no exit status")
endif()

# "0 success, 1 the reader said no, 64 ..." as one tagged paragraph a status.
string(REGEX REPLACE "\\.$" "" exit_status "${exit_status}")
string(REGEX REPLACE ", ([0-9]+) " ";\\1 " statuses "${exit_status}")
set(exit_entries "")
foreach(status IN LISTS statuses)
    string(REGEX REPLACE "^([0-9]+) (.*)$" "  \\1  \\2" status "${status}")
    roff_entry("${status}" entry)
    string(APPEND exit_entries "${entry}")
endforeach()

string(REGEX REPLACE "\\.$" "" short "${summary}")
roff_text("${name}" name_roff)
roff_text("${short}" short_roff)
roff_text("${synopsis}" synopsis_roff)
roff_text("${version}" version_roff)
string(TOUPPER "${name_roff}" title)

set(page ".\\\" Made by the build from ${name} --help and --version.\n")
string(APPEND page ".TH ${title} 1 \"\" \"Tallisk ${version_roff}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n${name_roff} \\- ${short_roff}\n")
string(APPEND page ".SH SYNOPSIS\n.B ${name_roff}\n${synopsis_roff}\n")
string(APPEND page ".SH DESCRIPTION\n${description}")
string(APPEND page ".SH OPTIONS\n${options}")
string(APPEND page ".SH \"EXIT STATUS\"\n${exit_entries}")
if(DEFINED EXTRA AND NOT EXTRA STREQUAL "")
    file(READ "${EXTRA}" extra)
    string(APPEND page "${extra}")
endif()
string(APPEND page ".SH VERSION\n${name_roff} ${version_roff}\n")

# Gzipped as Debian keeps manual pages: best compression, no name or time
# stored, so that the same page makes the same file.
string(REGEX REPLACE "\\.gz$" "" plain "${OUTPUT}")
file(WRITE "${plain}" "${page}")
execute_process(COMMAND gzip -9nf "${plain}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed for ${plain}")
endif()
