# portavo-config is the one reader of the product description, and the
# payload rules of the native tree need its reading at configure time: so the
# tool is built here, in a tree of its own (config-tool/, a quick no-op when
# it is current), and writes gen/product.cmake, which the payload rules and
# the MinGW trees include. Editing the description, the tool's sources or
# what it shares with setup.exe (the record's layout, the checksum table's
# resource name and format, the resource names, the source lists) configures
# again, and so rebuilds the tool before it writes anything.
set(PORTAVO_DESCRIPTION ${PORTAVO_PRODUCT_DIR}/product.ini)
set(PORTAVO_BUILD_SETTINGS ${PORTAVO_GEN_DIR}/product.cmake)
set(PORTAVO_RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/resources/setup.rc)
set(config_tool_dir ${CMAKE_BINARY_DIR}/config-tool)
file(GLOB config_tool_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/config/*.cpp
  ${CMAKE_SOURCE_DIR}/tools/config/*.h ${CMAKE_SOURCE_DIR}/tools/config/standalone/CMakeLists.txt
  ${CMAKE_SOURCE_DIR}/extract/crc32.*)
# The program's own sources that the tool links (cmake/sources.cmake).
foreach(source ${PORTAVO_CONFIG_SHARED_SOURCES})
  string(REGEX REPLACE "[.]cpp$" ".h" header ${source})
  list(APPEND config_tool_sources ${CMAKE_SOURCE_DIR}/${source} ${CMAKE_SOURCE_DIR}/${header})
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PORTAVO_DESCRIPTION} ${config_tool_sources} ${CMAKE_SOURCE_DIR}/core/config.h
  ${PORTAVO_RESOURCE_SCRIPT} ${CMAKE_SOURCE_DIR}/resources/ids.h
  ${CMAKE_SOURCE_DIR}/extract/payload_check.h ${CMAKE_SOURCE_DIR}/extract/lzhuf.h
  ${CMAKE_SOURCE_DIR}/cmake/sources.cmake)

execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR}/tools/config/standalone -B ${config_tool_dir}
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
  RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(rc EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${config_tool_dir} --parallel 2
    RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "building portavo-config failed:\n${log}")
endif()
set(PORTAVO_CONFIG ${config_tool_dir}/portavo-config)
add_executable(portavo-config IMPORTED GLOBAL)
set_target_properties(portavo-config PROPERTIES IMPORTED_LOCATION ${PORTAVO_CONFIG})

# The macros that windres's preprocessor holds where the resource script
# includes payload.rc, which no entry's resource may take as its name: one
# listing of the script per MinGW tree, made as windres preprocesses it
# (gcc -E -xc -DRC_INVOKED, the trees' include folders), with empty stand-ins
# for payload.rc and version.rc, which the build writes later.
set(rc_stub ${CMAKE_BINARY_DIR}/rc-stub)
file(WRITE ${rc_stub}/payload.rc "")
file(WRITE ${rc_stub}/version.rc "")
file(MAKE_DIRECTORY ${PORTAVO_GEN_DIR})
set(PORTAVO_MACRO_LISTINGS)
set(PORTAVO_MACRO_OPTIONS)
foreach(triplet i686-w64-mingw32 x86_64-w64-mingw32)
  set(listing ${PORTAVO_GEN_DIR}/resource-macros-${triplet}.i)
  execute_process(
    COMMAND ${triplet}-gcc -E -xc -DRC_INVOKED -dD -I${rc_stub} -I${CMAKE_SOURCE_DIR}/resources
      -I${CMAKE_SOURCE_DIR} ${PORTAVO_RESOURCE_SCRIPT} -o ${listing}
    RESULT_VARIABLE rc ERROR_VARIABLE log)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "listing the macros of ${PORTAVO_RESOURCE_SCRIPT} with ${triplet}-gcc failed:\n${log}")
  endif()
  list(APPEND PORTAVO_MACRO_LISTINGS ${listing})
  list(APPEND PORTAVO_MACRO_OPTIONS --macros ${listing})
endforeach()

# Reads a product description at configure time into the build settings
# settings, and stops the configuration with the tool's messages when the
# description cannot make a setup program.
function(portavo_read_description description settings)
  execute_process(
    COMMAND ${PORTAVO_CONFIG} --description ${description} --resources ${PORTAVO_RESOURCE_SCRIPT}
      ${PORTAVO_MACRO_OPTIONS} --cmake ${settings}
    RESULT_VARIABLE rc ERROR_VARIABLE log)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${log}")
  endif()
endfunction()
portavo_read_description(${PORTAVO_DESCRIPTION} ${PORTAVO_BUILD_SETTINGS})
include(${PORTAVO_BUILD_SETTINGS})
