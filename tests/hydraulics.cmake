flowtest_add_test(test_numbertext SOURCES test_numbertext.cpp LIBS hydraulics)
flowtest_add_test(test_discharge SOURCES test_discharge.cpp LIBS hydraulics)
