flowtest_add_test(test_optionsfile SOURCES test_optionsfile.cpp LIBS options)
flowtest_add_test(test_preferences SOURCES test_preferences.cpp LIBS optionsdialog Qt6::Widgets)
