flowtest_add_test(test_testresults SOURCES test_testresults.cpp LIBS results cli)
target_compile_definitions(test_testresults PRIVATE
    FLOWTEST_EXAMPLES_DIR="${CMAKE_CURRENT_LIST_DIR}/../examples")
flowtest_add_test(test_totals SOURCES test_totals.cpp documenttesthelpers.h LIBS results)
flowtest_add_test(test_supplyanalysis SOURCES test_supplyanalysis.cpp LIBS results)
