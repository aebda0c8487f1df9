flowtest_add_test(test_textfile SOURCES test_textfile.cpp LIBS textfile)
