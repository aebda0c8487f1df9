flowtest_add_test(test_outletrowtext SOURCES test_outletrowtext.cpp documenttesthelpers.h LIBS document)

flowtest_add_test(test_testfile SOURCES test_testfile.cpp documenttesthelpers.h LIBS document)
target_compile_definitions(test_testfile PRIVATE
    FLOWTEST_DOCUMENT_DATA="${CMAKE_CURRENT_LIST_DIR}/data/document")

flowtest_add_test(test_examples SOURCES test_examples.cpp documentexamples.h documenttesthelpers.h
    LIBS document)
target_compile_definitions(test_examples PRIVATE
    FLOWTEST_EXAMPLES_DIR="${CMAKE_CURRENT_LIST_DIR}/../examples")
flowtest_add_test(test_recoveryfile SOURCES test_recoveryfile.cpp LIBS document)
