flowtest_add_test(test_flowgrid SOURCES test_flowgrid.cpp scriptedprompts.h LIBS flowtestapp)
flowtest_add_test(test_mainwindow SOURCES test_mainwindow.cpp scriptedprompts.h LIBS flowtestapp)
flowtest_add_test(test_faults SOURCES test_faults.cpp faultfs.h scriptedprompts.h LIBS flowtestapp)
flowtest_add_test(test_largeinput SOURCES test_largeinput.cpp largerecord.h scriptedprompts.h LIBS flowtestapp)
