flowtest_add_test(test_flowtestreport SOURCES test_flowtestreport.cpp LIBS Qt6::Core)
add_dependencies(test_flowtestreport flowtest-report)
target_compile_definitions(test_flowtestreport PRIVATE
    FLOWTEST_REPORT_TOOL="$<TARGET_FILE:flowtest-report>"
    FLOWTEST_EXAMPLES_DIR="${CMAKE_CURRENT_LIST_DIR}/../examples")
