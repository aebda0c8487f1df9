flowtest_add_test(test_numbertext SOURCES test_numbertext.cpp LIBS hydraulics)
flowtest_add_test(test_discharge SOURCES test_discharge.cpp LIBS hydraulics)
flowtest_add_test(test_rating SOURCES test_rating.cpp LIBS hydraulics)
