flowtest_add_test(test_help SOURCES test_help.cpp LIBS helpbox Qt6::Widgets)
