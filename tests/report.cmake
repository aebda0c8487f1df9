flowtest_add_test(test_reportdata SOURCES test_reportdata.cpp documenttesthelpers.h LIBS report)
