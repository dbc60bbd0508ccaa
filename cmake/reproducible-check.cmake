# Test that setup.exe and its uninstaller are reproducible: links the second copy of the MinGW tree
# WIN32_DIR (its own objects, another folder, now rather than when setup.exe
# was linked) and compares the two files byte for byte.
#   cmake -DWIN32_DIR=build/win32 -P cmake/reproducible-check.cmake
set(first ${WIN32_DIR}/setup.exe)
set(second ${WIN32_DIR}/again/setup.exe)
if(NOT EXISTS ${first})
  message(FATAL_ERROR "${first} is not built")
endif()
file(REMOVE ${second})
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WIN32_DIR} --target setup-again
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0 OR NOT EXISTS ${second})
  message(FATAL_ERROR "building the second copy of setup.exe failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${first} ${second} RESULT_VARIABLE rc)
file(SIZE ${first} size)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${first} and ${second} differ: the build is not reproducible")
endif()
message(STATUS "setup.exe reproduced: ${size} identical bytes")

# The uninstaller that setup.exe carries, where the product has one.
set(first ${WIN32_DIR}/uninstall.exe)
set(second ${WIN32_DIR}/again/uninstall.exe)
if(EXISTS ${first})
  file(REMOVE ${second})
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WIN32_DIR} --target uninstall-again
    RESULT_VARIABLE rc OUTPUT_QUIET)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${first} ${second} RESULT_VARIABLE same)
  if(NOT rc EQUAL 0 OR NOT same EQUAL 0)
    message(FATAL_ERROR "${first} and ${second} differ: the uninstaller is not reproducible")
  endif()
  file(SIZE ${first} size)
  message(STATUS "uninstall.exe reproduced: ${size} identical bytes")
endif()
