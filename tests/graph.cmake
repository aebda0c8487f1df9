flowtest_add_test(test_flowgraphmodel SOURCES test_flowgraphmodel.cpp LIBS hydraulics)
flowtest_add_test(test_flowgraphdrawing SOURCES test_flowgraphdrawing.cpp LIBS graph)

# The fuzzers' recording canvas, for tests that look at what a graph draws.
add_library(recordingcanvas STATIC
    ${CMAKE_SOURCE_DIR}/fuzz/recordingcanvas.cpp ${CMAKE_SOURCE_DIR}/fuzz/recordingcanvas.h)
target_link_libraries(recordingcanvas PUBLIC graph)
flowtest_include_folder(recordingcanvas FOLDER fuzz HEADERS recordingcanvas.h)
flowtest_add_test(test_analysisgraph SOURCES test_analysisgraph.cpp settingsof.h
    LIBS graph recordingcanvas)
