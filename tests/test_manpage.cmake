# cmake -DTOOL=flowtest-report -DMANPAGE=flowtest-report.1 -P test_manpage.cmake
# The manual page names exactly the options that --help prints, and groff and
# mandoc read it without a warning.
execute_process(COMMAND ${TOOL} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TOOL} --help: ${result}")
endif()
file(READ ${MANPAGE} page)
# Roff to plain text, as far as options go: font changes out, \- to -.
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")
string(REPLACE "\\-" "-" page "${page}")

# Options: -x or --word, not inside a word (non-empty, UTF-8).
function(options_of text out)
    # Brackets would group a CMake list's items.
    string(REGEX REPLACE "[][]" " " text "${text}")
    string(REGEX MATCHALL "[^A-Za-z0-9-]--?[A-Za-z][A-Za-z0-9-]*" found " ${text}")
    list(TRANSFORM found REPLACE "^[^-]" "")
    list(REMOVE_DUPLICATES found)
    list(SORT found)
    set(${out} ${found} PARENT_SCOPE)
endfunction()
options_of("${help}" in_help)
options_of("${page}" in_page)

if(NOT in_help)
    message(FATAL_ERROR "no option found in --help:\n${help}")
endif()
set(missing ${in_help})
list(REMOVE_ITEM missing ${in_page})
set(extra ${in_page})
list(REMOVE_ITEM extra ${in_help})
if(missing OR extra)
    message(SEND_ERROR "manual page and --help differ\n"
        "  in --help only: ${missing}\n  in the manual page only: ${extra}")
endif()

find_program(GROFF groff)
if(GROFF)
    execute_process(COMMAND ${GROFF} -man -ww -z -Tutf8 ${MANPAGE} ERROR_VARIABLE warnings)
    if(warnings)
        message(SEND_ERROR "groff warns about ${MANPAGE}:\n${warnings}")
    endif()
endif()

find_program(MANDOC mandoc)
if(MANDOC)
    execute_process(COMMAND ${MANDOC} -Tlint ${MANPAGE} OUTPUT_VARIABLE warnings ERROR_VARIABLE warnings)
    if(warnings)
        message(SEND_ERROR "mandoc warns about ${MANPAGE}:\n${warnings}")
    endif()
endif()
