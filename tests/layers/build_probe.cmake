# Builds TARGET in BUILD_DIR. With EXPECTED empty the build must succeed; otherwise it must fail and
# its output must name EXPECTED (so that a probe failing for another reason is not taken as a pass).
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(EXPECTED STREQUAL "")
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${TARGET} should build:\n${output}")
    endif()
elseif(result EQUAL 0)
    message(FATAL_ERROR "${TARGET} built, but it reaches above its layer")
elseif(NOT output MATCHES "${EXPECTED}")
    message(FATAL_ERROR "${TARGET} failed, but not on ${EXPECTED}:\n${output}")
else()
    message(STATUS "${TARGET} refused as expected")
endif()
