# Win32 tests: GoogleTest built from Debian's sources with the MinGW
# toolchain, one executable per source folder, run under wine64 through
# CMAKE_CROSSCOMPILING_EMULATOR. Each executable carries the program's
# resources, so g_instance can be its own module.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(PORTAVO_GTEST_SHIM -include ${CMAKE_SOURCE_DIR}/tests/support/gtest_notification.h)
add_compile_options(${PORTAVO_GTEST_SHIM})
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Its main() (win32_main.cpp) starts each test program as setup.exe starts;
# a program with a main of its own (walk-demo) keeps that one.
file(GLOB PORTAVO_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(portavo_test_support STATIC ${PORTAVO_TEST_SUPPORT})
# Screenshots are written to PNG with zlib.
find_library(PORTAVO_ZLIB_STATIC NAMES libz.a REQUIRED)
target_link_libraries(portavo_test_support PUBLIC portavo_win32 portavo_record gtest uuid ${PORTAVO_ZLIB_STATIC})
# PORTAVO_TREE_GEN: this tree's payload (gen/files, gen/packed), which the
# test programs' resources carry.
target_compile_definitions(portavo_test_support PUBLIC
  PORTAVO_GEN_DIR="${PORTAVO_GEN_DIR}" PORTAVO_TREE_GEN="${PORTAVO_TREE_GEN}"
  PORTAVO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

enable_testing()
foreach(dir core extract backdrop pages system resources)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*_wintest.cpp)
  if(tests)
    add_executable(wintest-${dir} ${tests} $<TARGET_OBJECTS:portavo_resources>)
    target_link_libraries(wintest-${dir} PRIVATE portavo_test_support)
    target_link_options(wintest-${dir} PRIVATE ${PORTAVO_LINK_STATIC})
    add_test(NAME wine-${dir} COMMAND wintest-${dir})
    set_tests_properties(wine-${dir} PROPERTIES TIMEOUT 600)
  endif()
endforeach()

# The install step's tests record its progress reports: their program links
# its own AdvanceProgress ahead of the library, which the installing page's
# sink reports to; the page's own object (with the real one) stays out, and
# should it ever be drawn in, the link fails with two definitions.
if(TARGET wintest-extract)
  target_sources(wintest-extract PRIVATE ${CMAKE_SOURCE_DIR}/tests/extract/progress_log.cpp)
endif()

# The walk-through: the driver and its scenarios start the real setup.exe of
# this tree, which lies beside them.
file(GLOB walk_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/walk/*.cpp)
list(FILTER walk_sources EXCLUDE REGEX "/(demo_main|bench_main|notepad_recorder|comctl32_recorder)\\.cpp$")
set(walk_driver driver walk)
list(TRANSFORM walk_driver PREPEND ${CMAKE_SOURCE_DIR}/tests/walk/)
list(TRANSFORM walk_driver APPEND .cpp)
add_library(portavo_walk STATIC ${walk_driver})
target_link_libraries(portavo_walk PUBLIC portavo_test_support)
list(REMOVE_ITEM walk_sources ${walk_driver})
add_executable(wintest-walk ${walk_sources} $<TARGET_OBJECTS:portavo_resources>)
target_link_libraries(wintest-walk PRIVATE portavo_walk portavo_test_support)
# Where the walk's checks find the payload files the product was built from.
target_compile_definitions(wintest-walk PRIVATE PORTAVO_PAYLOAD_SOURCE="${PORTAVO_TREE_FILES}"
  PORTAVO_PAYLOAD_MADE="${PORTAVO_TREE_FILES}")
target_link_options(wintest-walk PRIVATE ${PORTAVO_LINK_STATIC})
add_executable(notepad-recorder WIN32 ${CMAKE_SOURCE_DIR}/tests/walk/notepad_recorder.cpp)
target_link_options(notepad-recorder PRIVATE ${PORTAVO_LINK_STATIC})
# The planted COMCTL32.DLL of the whole-installation walk, in a folder of its
# own: beside the test programs it would be planted under all of them.
add_library(comctl32-recorder SHARED ${CMAKE_SOURCE_DIR}/tests/walk/comctl32_recorder.cpp)
set_target_properties(comctl32-recorder PROPERTIES OUTPUT_NAME comctl32 PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted)
# Undecorated export names on i686 too, as the real library has them.
target_link_options(comctl32-recorder PRIVATE ${PORTAVO_LINK_STATIC} -Wl,--kill-at)
add_dependencies(wintest-walk setup notepad-recorder comctl32-recorder)
# The uninstall walk runs this tree's uninstaller once more, with nothing installed.
if(TARGET uninstall)
  add_dependencies(wintest-walk uninstall)
endif()
add_test(NAME wine-walk COMMAND wintest-walk)
if(TARGET wintest-system)
  add_dependencies(wintest-system notepad-recorder)
  # The registry tests remove what they wrote as the uninstaller does.
  target_sources(wintest-system PRIVATE ${CMAKE_SOURCE_DIR}/uninstall/removal.cpp)
endif()
# The extract tests load the planted library as a search extension in use.
if(TARGET wintest-extract)
  add_dependencies(wintest-extract comctl32-recorder)
endif()
add_executable(walk-demo ${CMAKE_SOURCE_DIR}/tests/walk/demo_main.cpp)
target_link_libraries(walk-demo PRIVATE portavo_walk uuid)
target_link_options(walk-demo PRIVATE ${PORTAVO_LINK_STATIC})
add_dependencies(walk-demo setup)
# `make bench`: whole installations timed, unattended and walked through.
add_executable(walk-bench ${CMAKE_SOURCE_DIR}/tests/walk/bench_main.cpp ${CMAKE_SOURCE_DIR}/tests/walk/installation.cpp)
target_link_libraries(walk-bench PRIVATE portavo_walk uuid)
target_compile_definitions(walk-bench PRIVATE PORTAVO_PAYLOAD_SOURCE="${PORTAVO_TREE_FILES}"
  PORTAVO_PAYLOAD_MADE="${PORTAVO_TREE_FILES}")
target_link_options(walk-bench PRIVATE ${PORTAVO_LINK_STATIC})
add_dependencies(walk-bench setup)
# In the emulated guest of make test-pe32 the walks take several times longer.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set_tests_properties(wine-walk PROPERTIES TIMEOUT 2400)
else()
  set_tests_properties(wine-walk PROPERTIES TIMEOUT 900)
endif()
# The walks in East Asian code pages, each in its locale. They restart the
# wineserver, so nothing else may run beside them (ctest -j).
foreach(walk "ja_JP.UTF-8 932" "zh_TW.UTF-8 950")
  separate_arguments(walk)
  list(GET walk 0 locale)
  list(GET walk 1 code_page)
  add_test(NAME wine-walk-${code_page} COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-locale ${locale} ${code_page}
    wintest-walk-${code_page} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:wintest-walk>
    --gtest_filter=*InstallsIntoNamesOfCodePage${code_page})
  set_tests_properties(wine-walk-${code_page} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endforeach()

# The second product of the tests, tests/sample, its names generated by the
# native tree into gen/sample and its payload by this tree into gen/sample:
# its own setup.exe, linked from the objects above with its product record
# and resources (the record's object comes first, so the library's is never
# drawn in), and the walk of `make demo` through a whole installation of it,
# which lies beside it in sample/.
set(sample_gen ${PORTAVO_TREE_GEN}/sample)  # made in cmake/tree
set(sample_files ${sample_gen}/files)
add_library(portavo_resources_sample OBJECT resources/setup.rc)
# The three objects of resources/setup.rc share its dependencies on both
# products' generated files, so each waits for both records.
add_dependencies(portavo_resources_sample sample-record record)
add_dependencies(portavo_resources sample-record)
add_dependencies(portavo_resources_again sample-record)
set_property(TARGET portavo_resources_sample PROPERTY INCLUDE_DIRECTORIES
  ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR} ${sample_gen} ${PORTAVO_GEN_DIR}/art)
set_property(SOURCE resources/setup.rc APPEND PROPERTY OBJECT_DEPENDS
  ${sample_gen}/payload.rc ${sample_gen}/checksums.bin ${sample_gen}/version.rc ${sample_gen}/setup.manifest)
get_target_property(setup_compile_options setup COMPILE_OPTIONS)
get_target_property(setup_link_options setup LINK_OPTIONS)
list(FILTER setup_link_options EXCLUDE REGEX "-Map=")
add_executable(setup-sample WIN32 core/main.cpp $<TARGET_OBJECTS:portavo_resources_sample>)
target_compile_options(setup-sample PRIVATE ${setup_compile_options})
target_link_options(setup-sample PRIVATE ${setup_link_options})
target_link_libraries(setup-sample PRIVATE portavo_win32 sample-record)
set_target_properties(setup-sample PROPERTIES OUTPUT_NAME setup RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/sample)
portavo_reproducible_link(setup-sample)
portavo_check_payload(setup-sample)
add_executable(wintest-sample ${CMAKE_SOURCE_DIR}/tests/sample/sample_wintest.cpp
  ${CMAKE_SOURCE_DIR}/tests/walk/installation.cpp)
# The sample's record ahead of the libraries, so that the shipped one is never drawn in.
target_link_libraries(wintest-sample PRIVATE sample-record portavo_walk portavo_test_support)
target_link_options(wintest-sample PRIVATE ${PORTAVO_LINK_STATIC})
target_compile_definitions(wintest-sample PRIVATE
  PORTAVO_PAYLOAD_SOURCE="${sample_files}" PORTAVO_PAYLOAD_MADE="${sample_files}")
set_target_properties(wintest-sample PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/sample)
add_dependencies(wintest-sample setup-sample)
add_test(NAME wine-sample COMMAND wintest-sample)
set_tests_properties(wine-sample PROPERTIES TIMEOUT 300)

# The cost of the self-check as setup.exe runs it, printed by `make bench`.
add_executable(check-bench ${CMAKE_SOURCE_DIR}/tools/pack/check_bench.cpp $<TARGET_OBJECTS:portavo_resources>)
target_link_libraries(check-bench PRIVATE portavo_win32 portavo_record)
target_link_options(check-bench PRIVATE ${PORTAVO_LINK_STATIC})

# The extract tests' and the walk's small full disk
# (tests/extract/fixtures.sh), and a time zone without summer time (UTC+9).
if(TEST wine-extract)
  set(fixtures ${CMAKE_BINARY_DIR}/extract-fixtures)
  set(script ${CMAKE_SOURCE_DIR}/tests/extract/fixtures.sh)
  add_test(NAME wine-extract-fixtures-up COMMAND ${script} up ${fixtures})
  add_test(NAME wine-extract-fixtures-down COMMAND ${script} down ${fixtures})
  set_tests_properties(wine-extract-fixtures-up PROPERTIES FIXTURES_SETUP extract-fixtures)
  set_tests_properties(wine-extract-fixtures-down PROPERTIES FIXTURES_CLEANUP extract-fixtures)
  set_tests_properties(wine-extract PROPERTIES FIXTURES_REQUIRED extract-fixtures
    ENVIRONMENT "PORTAVO_EXTRACT_FIXTURES=${fixtures};TZ=Asia/Tokyo")
  # The unattended walk's drive without room.
  set_tests_properties(wine-walk PROPERTIES FIXTURES_REQUIRED extract-fixtures
    ENVIRONMENT "PORTAVO_EXTRACT_FIXTURES=${fixtures}")
endif()
