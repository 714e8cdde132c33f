# Builds TARGET in BUILD_DIR and checks the OUTCOME: "builds", or "fails" because HEADER cannot be
# found (any other failure would prove nothing about the boundary).
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --config ${CONFIG} --target ${TARGET}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(REPLACE "/" "[/\\\\]" headerPattern "${HEADER}")
if(OUTCOME STREQUAL "builds")
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${TARGET} should build:\n${output}")
    endif()
elseif(status EQUAL 0)
    message(FATAL_ERROR "${TARGET} built: ${HEADER} was found where it must not be")
elseif(NOT output MATCHES "${headerPattern}.*(No such file|not found|[Cc]annot open)")
    message(FATAL_ERROR "${TARGET} failed, but not for want of ${HEADER}:\n${output}")
else()
    message(STATUS "${TARGET}: ${HEADER} cannot be included, as it must not be")
endif()
