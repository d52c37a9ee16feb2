# cmake -DBUILD_DIR=... -DTARGET=... -DEXPECTED=... -P expect_build_failure.cmake
# Passes when building TARGET fails with EXPECTED in its output.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(status EQUAL 0)
  message(FATAL_ERROR "${TARGET} built, but it must not:\n${out}")
endif()
string(FIND "${out}" "${EXPECTED}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${TARGET} failed, but not with \"${EXPECTED}\":\n${out}")
endif()
message(STATUS "${TARGET} failed as it must: ${EXPECTED}")
