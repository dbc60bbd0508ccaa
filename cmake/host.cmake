# Native tree: the codec and text helpers, the host tools, the generated
# product sources and resources, and the native tests.
option(PORTAVO_FUZZ "Build only the fuzz targets (needs clang)" OFF)

set(PORTAVO_GEN_DIR ${CMAKE_BINARY_DIR}/gen)

add_library(portavo_pure STATIC ${PORTAVO_PURE_SOURCES})
target_include_directories(portavo_pure PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(portavo_pure PRIVATE ${PORTAVO_WARNINGS})

if(PORTAVO_FUZZ)
  include(${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz.cmake)
  return()
endif()

add_subdirectory(tools)

# Placeholder payload files, the packed payload, the generated product record
# and payload resource script, and the pictures and icons.
include(cmake/generate.cmake)

# Native tests, run under AddressSanitizer and UndefinedBehaviorSanitizer.
find_package(GTest REQUIRED)
# The manifest test reads setup.exe's manifest with a real XML parser.
find_package(LibXml2 REQUIRED)
set(PORTAVO_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_library(portavo_pure_san STATIC ${PORTAVO_PURE_SOURCES} ${PORTAVO_GEN_DIR}/product_config.cpp)
target_include_directories(portavo_pure_san PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(portavo_pure_san PUBLIC ${PORTAVO_SANITIZE} -O1 -g)
target_link_options(portavo_pure_san PUBLIC ${PORTAVO_SANITIZE})
add_dependencies(portavo_pure_san portavo-generated)

file(GLOB PORTAVO_HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*/*_test.cpp)
add_executable(portavo-host-tests ${PORTAVO_HOST_TESTS})
target_link_libraries(portavo-host-tests PRIVATE portavo_pure_san portavo_tool_libs GTest::gtest_main
  LibXml2::LibXml2)
target_compile_definitions(portavo-host-tests PRIVATE
  PORTAVO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  PORTAVO_GEN_DIR="${PORTAVO_GEN_DIR}"
  PORTAVO_TOOLS_DIR="${CMAKE_BINARY_DIR}/tools")
enable_testing()
add_test(NAME host-tests COMMAND portavo-host-tests)

# The MinGW tree that builds setup.exe, next to this one unless given: the
# inspector tests read its setup.exe, and one test links a second copy of it
# and compares the bytes.
set(PORTAVO_WIN32_DIR ${CMAKE_BINARY_DIR}/../win32 CACHE PATH "The MinGW tree that builds setup.exe")
get_filename_component(portavo_win32_dir ${PORTAVO_WIN32_DIR} ABSOLUTE)
target_compile_definitions(portavo-host-tests PRIVATE PORTAVO_SETUP_EXE="${portavo_win32_dir}/setup.exe"
  PORTAVO_SETUP_GEN="${portavo_win32_dir}/gen")
add_test(NAME setup-reproducible COMMAND ${CMAKE_COMMAND} -DWIN32_DIR=${portavo_win32_dir}
  -P ${CMAKE_SOURCE_DIR}/cmake/reproducible-check.cmake)
target_sources(portavo-host-tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/tools/sample_setup.cpp)
