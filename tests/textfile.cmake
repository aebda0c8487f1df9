flowtest_add_test(test_textfile SOURCES test_textfile.cpp LIBS textfile)
flowtest_add_test(test_filewriter SOURCES test_filewriter.cpp faultfs.h LIBS textfile)
