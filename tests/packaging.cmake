# The install rules, staged into the build tree; and each manual page against
# its program's --help.
add_test(NAME test_install
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
        -DSTAGE=${CMAKE_CURRENT_BINARY_DIR}/install-stage
        -P ${CMAKE_CURRENT_SOURCE_DIR}/test_install.cmake)
add_test(NAME test_manpage
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:flowtest-report>
        -DMANPAGE=${PROJECT_SOURCE_DIR}/packaging/flowtest-report.1
        -P ${CMAKE_CURRENT_SOURCE_DIR}/test_manpage.cmake)
add_test(NAME test_manpage_window
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:OstrelFlowTest>
        -DMANPAGE=${PROJECT_SOURCE_DIR}/packaging/ostrel-flowtest.1
        -P ${CMAKE_CURRENT_SOURCE_DIR}/test_manpage.cmake)
set_tests_properties(test_install test_manpage test_manpage_window PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
