# Runs the tool, and makes the window's reports in-process to compare.
flowtest_add_test(test_flowtestreport SOURCES test_flowtestreport.cpp faultfs.h LIBS reportfiles document)
add_dependencies(test_flowtestreport flowtest-report)
target_compile_definitions(test_flowtestreport PRIVATE
    FLOWTEST_REPORT_TOOL="$<TARGET_FILE:flowtest-report>"
    FLOWTEST_EXAMPLES_DIR="${CMAKE_CURRENT_LIST_DIR}/../examples")
