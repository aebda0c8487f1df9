# cmake -DIN=file -DOUT=file.gz -P gzip-file.cmake: compresses IN with
# gzip -9n, so the same page always gives the same bytes.
find_program(GZIP gzip REQUIRED)
execute_process(COMMAND ${GZIP} -9n -c ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE ${OUT})
    message(FATAL_ERROR "gzip ${IN}: ${result}")
endif()
