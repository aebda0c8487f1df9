flowtest_add_test(test_flowgrid SOURCES test_flowgrid.cpp LIBS app)
flowtest_add_test(test_mainwindow SOURCES test_mainwindow.cpp LIBS app)
flowtest_add_test(test_faults SOURCES test_faults.cpp LIBS app)
flowtest_add_test(test_largeinput SOURCES test_largeinput.cpp LIBS app)
flowtest_add_test(test_filedialogs SOURCES test_filedialogs.cpp LIBS app)
flowtest_add_test(test_reportcommands SOURCES test_reportcommands.cpp LIBS app)
flowtest_add_test(test_resultswindow SOURCES test_resultswindow.cpp LIBS app)
flowtest_add_test(test_accessibility SOURCES test_accessibility.cpp LIBS app)
target_compile_definitions(test_accessibility PRIVATE
    FLOWTEST_EXAMPLES_DIR="${CMAKE_CURRENT_LIST_DIR}/../examples")
flowtest_add_test(test_recoverywindow SOURCES test_recoverywindow.cpp LIBS app)
add_dependencies(test_recoverywindow OstrelFlowTest)
target_compile_definitions(test_recoverywindow PRIVATE
    FLOWTEST_WINDOW_PROGRAM="$<TARGET_FILE:OstrelFlowTest>")
