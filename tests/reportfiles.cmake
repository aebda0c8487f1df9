flowtest_add_test(test_reportfiles SOURCES test_reportfiles.cpp faultfs.h LIBS reportfiles)
