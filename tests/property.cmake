flowtest_add_test(test_roundtrip_property SOURCES test_roundtrip_property.cpp documenttesthelpers.h
    LIBS document options)
