# cmake -DBUILD_DIR=... -DSTAGE=... -P test_install.cmake
# Installs the built tree into STAGE and checks what a user's machine gets:
# the two commands, the menu entry, the file type, the icons, the manual pages,
# the software-centre listing and the documents folder.
function(fail message)
    message(SEND_ERROR "${message}")
endfunction()

file(REMOVE_RECURSE ${STAGE})
unset(ENV{DESTDIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

# The commands: present, executable; the tool runs from where it was put.
foreach(program ostrel-flowtest flowtest-report)
    execute_process(COMMAND test -x ${STAGE}/bin/${program} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        fail("bin/${program} is missing or not executable")
    endif()
endforeach()
execute_process(COMMAND ${STAGE}/bin/flowtest-report --version OUTPUT_VARIABLE version)
if(NOT version MATCHES "2\\.0")
    fail("installed flowtest-report --version printed \"${version}\"")
endif()
# The window program answers --version without a display.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
    --unset=QT_QPA_PLATFORM ${STAGE}/bin/ostrel-flowtest --version
    OUTPUT_VARIABLE version RESULT_VARIABLE result ERROR_QUIET)
if(NOT result EQUAL 0 OR NOT version STREQUAL "ostrel-flowtest 2.0\n")
    fail("ostrel-flowtest --version without a display: ${result}, \"${version}\"")
endif()

# The menu entry: its keys, and a valid entry by desktop-file-validate.
set(desktop ${STAGE}/share/applications/com.ostrel.flowtest.desktop)
file(READ ${desktop} entry)
set(entry "\n${entry}")
foreach(expected "Exec=ostrel-flowtest %f" "Icon=ostrel-flowtest" "Type=Application"
        "MimeType=application/x-ostrel-flowtest;" "Name=Ostrel Hydrant Flow Test")
    string(FIND "${entry}" "\n${expected}\n" at)
    if(at EQUAL -1)
        fail("${desktop} lacks \"${expected}\"")
    endif()
endforeach()
if(NOT entry MATCHES "\nCategories=[A-Za-z]+;")
    fail("${desktop} has no Categories")
endif()
find_program(VALIDATE desktop-file-validate REQUIRED)
execute_process(COMMAND ${VALIDATE} ${desktop} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    fail("desktop-file-validate rejects ${desktop}")
endif()

# The listing of software centres, named after the menu entry.
find_program(APPSTREAMCLI appstreamcli)
set(metainfo ${STAGE}/share/metainfo/com.ostrel.flowtest.metainfo.xml)
if(NOT EXISTS ${metainfo})
    fail("${metainfo} is missing")
elseif(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${metainfo}
        RESULT_VARIABLE result OUTPUT_VARIABLE report)
    if(NOT result EQUAL 0)
        fail("appstreamcli rejects ${metainfo}:\n${report}")
    endif()
endif()

# The documents folder: the licence, the changelog and every example test.
set(docs ${STAGE}/share/doc/ostrel-flowtest)
file(GLOB examples RELATIVE ${CMAKE_CURRENT_LIST_DIR}/../examples
    ${CMAKE_CURRENT_LIST_DIR}/../examples/*.oft)
list(TRANSFORM examples PREPEND examples/)
foreach(file copyright changelog.gz ${examples})
    if(NOT EXISTS ${docs}/${file})
        fail("${docs}/${file} is missing")
    endif()
endforeach()

# The file type: the MIME database built from the staged package maps *.oft
# to the type that the menu entry opens.
file(GLOB mimexml ${STAGE}/share/mime/packages/*.xml)
if(NOT mimexml)
    message(FATAL_ERROR "no share/mime/packages/*.xml")
endif()
find_program(UPDATE_MIME update-mime-database REQUIRED)
execute_process(COMMAND ${UPDATE_MIME} ${STAGE}/share/mime RESULT_VARIABLE result)
file(STRINGS ${STAGE}/share/mime/globs2 globs REGEX "oft")
if(NOT result EQUAL 0 OR NOT globs MATCHES ":application/x-ostrel-flowtest:\\*\\.oft")
    fail("*.oft is not application/x-ostrel-flowtest in the MIME database: ${globs}")
endif()
file(STRINGS ${STAGE}/share/mime/subclasses subclasses REGEX "ostrel")
if(NOT subclasses STREQUAL "application/x-ostrel-flowtest text/plain")
    fail("application/x-ostrel-flowtest is not a text/plain: ${subclasses}")
endif()

# Icons: PNGs of their folder's size, for the program and for the file type.
foreach(size 16 32 48 256)
    math(EXPR hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x" "" hex ${hex})
    string(LENGTH ${hex} length)
    math(EXPR padding "8 - ${length}")
    string(REPEAT 0 ${padding} zeros)
    set(ihdr "89504e470d0a1a0a0000000d49484452${zeros}${hex}${zeros}${hex}")
    foreach(icon apps/ostrel-flowtest mimetypes/application-x-ostrel-flowtest)
        set(png ${STAGE}/share/icons/hicolor/${size}x${size}/${icon}.png)
        if(NOT EXISTS ${png})
            fail("${png} is missing")
            continue()
        endif()
        file(READ ${png} header LIMIT 24 HEX)
        if(NOT header STREQUAL ihdr)
            fail("${png} is not a ${size} x ${size} PNG: ${header}")
        endif()
    endforeach()
endforeach()

# Manual pages: gzip without a file name or time stamp, as Debian wants.
foreach(page flowtest-report ostrel-flowtest)
    set(gz ${STAGE}/share/man/man1/${page}.1.gz)
    if(NOT EXISTS ${gz})
        fail("${gz} is missing")
        continue()
    endif()
    file(READ ${gz} header LIMIT 8 HEX)
    if(NOT header STREQUAL "1f8b080000000000")
        fail("${gz} is not gzip -n output: ${header}")
    endif()
endforeach()
