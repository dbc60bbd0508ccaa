# MinGW trees. PORTAVO_GEN_DIR is the native tree's gen/ folder.
if(NOT PORTAVO_GEN_DIR)
  message(FATAL_ERROR "PORTAVO_GEN_DIR must name the native tree's gen folder")
endif()
enable_language(RC)
# Two resources of the same type, name and language stop the build
# (scripts/windres-strict): windres would only warn and keep one of them.
set(CMAKE_RC_COMPILE_OBJECT "${CMAKE_SOURCE_DIR}/scripts/windres-strict ${CMAKE_RC_COMPILE_OBJECT}")
include(${CMAKE_SOURCE_DIR}/cmake/reproducible.cmake)

# Each function in a section of its own, so that the linker drops whatever
# nothing calls. (Not data: MinGW's linker script would put zeroed objects
# in sections of their own into .data, as bytes of the file.) No frame
# pointer (MinGW's i686 compiler keeps one even at -Os: about 1 KB of code),
# and arrays aligned as the ABI asks, not to 32 bytes each for vector loads
# that this code never makes (about 600 bytes of read-only data).
set(PORTAVO_WIN32_FLAGS -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
  -ffunction-sections -fomit-frame-pointer -malign-data=abi ${PORTAVO_REPRODUCIBLE_FLAGS})
# The shipped 32-bit program is never run here, so its tree treats every
# warning (a procedure cast that hides a missing CALLBACK, say) as an error.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND PORTAVO_WIN32_FLAGS -Werror)
endif()
set(PORTAVO_LINK_STATIC -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)

add_library(portavo_win32 STATIC ${PORTAVO_PURE_SOURCES} ${PORTAVO_WIN32_SOURCES})
target_include_directories(portavo_win32 PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(portavo_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(portavo_win32 PRIVATE ${PORTAVO_WARNINGS} ${PORTAVO_WIN32_FLAGS})
# Only DLLs that Windows always takes from its own folder; COMCTL32 is not
# one of them and is loaded at start-up (core/dll_search.cpp).
target_link_libraries(portavo_win32 PUBLIC shell32 ole32 advapi32 gdi32 user32 kernel32)

# i686 symbols carry a leading underscore.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(PORTAVO_SYMBOL_PREFIX _)
else()
  set(PORTAVO_SYMBOL_PREFIX "")
endif()

# This tree's payload (cmake/programs.cmake): the uninstaller and the
# stand-ins built for this architecture, and the record and resources made
# from them in gen/; portavo_record holds the record.
include(${CMAKE_SOURCE_DIR}/cmake/programs.cmake)
set(PORTAVO_TREE_GEN ${CMAKE_BINARY_DIR}/gen)
set(PORTAVO_TREE_FILES ${PORTAVO_TREE_GEN}/files)
add_subdirectory(${CMAKE_SOURCE_DIR}/cmake/tree ${CMAKE_BINARY_DIR}/tree)
add_library(portavo_record ALIAS record)

# The resource script: dialogs, pictures, icons, the license text and the
# generated payload resources.
add_library(portavo_resources OBJECT resources/setup.rc)
add_dependencies(portavo_resources record)
set_property(TARGET portavo_resources PROPERTY INCLUDE_DIRECTORIES
  ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR} ${PORTAVO_TREE_GEN} ${PORTAVO_GEN_DIR}/art)
set_property(SOURCE resources/setup.rc APPEND PROPERTY OBJECT_DEPENDS
  ${PORTAVO_TREE_GEN}/payload.rc ${PORTAVO_TREE_GEN}/product_config.cpp
  ${PORTAVO_TREE_GEN}/checksums.bin ${PORTAVO_TREE_GEN}/version.rc ${PORTAVO_TREE_GEN}/setup.manifest)
# Files the script names outside #include, which the dependency scan misses.
foreach(art bitmap200.bmp bitmap201.bmp bitmap202.bmp bitmap203.bmp bitmap204.bmp icon100.ico icon101.ico)
  set_property(SOURCE resources/setup.rc APPEND PROPERTY OBJECT_DEPENDS ${PORTAVO_GEN_DIR}/art/${art})
endforeach()
set_property(SOURCE resources/setup.rc APPEND PROPERTY OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/license.txt)

add_executable(setup WIN32 core/main.cpp $<TARGET_OBJECTS:portavo_resources>)
target_compile_options(setup PRIVATE ${PORTAVO_WARNINGS} ${PORTAVO_WIN32_FLAGS})
target_link_libraries(setup PRIVATE portavo_win32 portavo_record)
# The link map tells `make size` what each object file adds to setup.exe.
target_link_options(setup PRIVATE ${PORTAVO_LINK_STATIC} -s -Wl,-Map=${CMAKE_BINARY_DIR}/setup.map)
portavo_reproducible_link(setup)
# setup.exe starts in its own entry point (core/main.cpp), without the C
# runtime's start-up objects; the test programs keep them. Nothing would then
# apply the pseudo-relocations of data imported from a DLL without dllimport,
# so the linker refuses to make any. The product record is linked in even
# where no code reads it yet, so that portavo-inspect always finds it.
set(PORTAVO_SETUP_LINK -nostartfiles -Wl,--entry=${PORTAVO_SYMBOL_PREFIX}WinMainCRTStartup
  -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc
  -Wl,--undefined=${PORTAVO_SYMBOL_PREFIX}g_product)
target_link_options(setup PRIVATE ${PORTAVO_SETUP_LINK})

# Every payload entry must be in the linked program as a named RCDATA
# resource that decodes to its checksums: a name that the resource compiler
# turned into a number would leave every user's copy reporting its payload
# as damaged. The native tree's inspector reads the program back, and a
# program that fails is removed, so that no later build takes it as current.
set(PORTAVO_INSPECT ${PORTAVO_GEN_DIR}/../tools/peruse/portavo-inspect)
function(portavo_check_payload target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND sh -c "\"$0\" verify \"$1\" >/dev/null || { rm -f \"$1\"; exit 1; }"
      ${PORTAVO_INSPECT} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
portavo_check_payload(setup)

# A second setup.exe from the same sources, its own objects compiled in
# another folder and linked into again/, for the test that both are the same
# bytes (cmake/reproducible-check.cmake, run by the native tree's tests).
add_library(portavo_resources_again OBJECT resources/setup.rc)
add_dependencies(portavo_resources_again record)
get_target_property(rc_include portavo_resources INCLUDE_DIRECTORIES)
set_property(TARGET portavo_resources_again PROPERTY INCLUDE_DIRECTORIES ${rc_include})
add_executable(setup-again WIN32 EXCLUDE_FROM_ALL core/main.cpp $<TARGET_OBJECTS:portavo_resources_again>)
target_compile_options(setup-again PRIVATE ${PORTAVO_WARNINGS} ${PORTAVO_WIN32_FLAGS})
target_link_libraries(setup-again PRIVATE portavo_win32 portavo_record)
target_link_options(setup-again PRIVATE ${PORTAVO_LINK_STATIC} -s ${PORTAVO_SETUP_LINK})
set_target_properties(setup-again PROPERTIES OUTPUT_NAME setup RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/again)
portavo_reproducible_link(setup-again)

# Checks of the shipped 32-bit program itself, which no test here can run.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  enable_testing()
  add_test(NAME pe32-callbacks COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-callbacks ${CMAKE_BINARY_DIR})
  add_test(NAME pe32-size COMMAND ${CMAKE_SOURCE_DIR}/scripts/size --check ${CMAKE_BINARY_DIR})
endif()

option(PORTAVO_WIN32_TESTS "Build the Win32 tests (run under wine64)" OFF)
if(PORTAVO_WIN32_TESTS)
  include(${CMAKE_SOURCE_DIR}/tests/win32.cmake)
endif()
