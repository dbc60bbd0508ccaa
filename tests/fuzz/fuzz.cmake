# libFuzzer target for the packed stream codec (configure with clang and
# -DPORTAVO_FUZZ=ON). It compiles the decoder itself, once more as a 32-bit
# target without SSE2 builds it, and the baseline decoder and the packer.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "PORTAVO_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()

set(PORTAVO_FUZZ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(lzhuf-portable OBJECT ${CMAKE_SOURCE_DIR}/extract/lzhuf.cpp)
target_include_directories(lzhuf-portable PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(lzhuf-portable PRIVATE PORTAVO_LZHUF_PORTABLE DecodeStream=DecodeStreamPortable
  BitsTaken=BitsTakenPortable)
target_compile_options(lzhuf-portable PRIVATE -fsanitize=fuzzer-no-link ${PORTAVO_FUZZ_SANITIZE})

add_executable(lzhuf-fuzz
  ${CMAKE_SOURCE_DIR}/tests/fuzz/lzhuf_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/extract/lzhuf.cpp
  ${CMAKE_SOURCE_DIR}/tools/pack/baseline_decoder.cpp
  ${CMAKE_SOURCE_DIR}/tools/pack/encoder.cpp
  $<TARGET_OBJECTS:lzhuf-portable>)
target_include_directories(lzhuf-fuzz PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(lzhuf-fuzz PRIVATE -fsanitize=fuzzer ${PORTAVO_FUZZ_SANITIZE})
target_link_options(lzhuf-fuzz PRIVATE -fsanitize=fuzzer ${PORTAVO_FUZZ_SANITIZE})

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/corpus)

# libFuzzer target for the reading of a built setup.exe (portavo-inspect), and
# the program that writes its seed corpus.
set(PORTAVO_INSPECT_SOURCES
  ${CMAKE_SOURCE_DIR}/tools/peruse/pe_image.cpp
  ${CMAKE_SOURCE_DIR}/tools/peruse/setup_reader.cpp
  ${CMAKE_SOURCE_DIR}/tools/config/checksums.cpp
  ${CMAKE_SOURCE_DIR}/extract/crc32.cpp
  ${CMAKE_SOURCE_DIR}/extract/lzhuf.cpp)
add_executable(inspect-fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/setup_reader_fuzz.cpp ${PORTAVO_INSPECT_SOURCES})
target_include_directories(inspect-fuzz PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(inspect-fuzz PRIVATE -fsanitize=fuzzer ${PORTAVO_FUZZ_SANITIZE})
target_link_options(inspect-fuzz PRIVATE -fsanitize=fuzzer ${PORTAVO_FUZZ_SANITIZE})

add_executable(inspect-fuzz-seed ${CMAKE_SOURCE_DIR}/tests/fuzz/setup_reader_fuzz_seed.cpp
  ${CMAKE_SOURCE_DIR}/tests/tools/sample_setup.cpp ${CMAKE_SOURCE_DIR}/tools/config/checksums.cpp
  ${CMAKE_SOURCE_DIR}/extract/crc32.cpp ${CMAKE_SOURCE_DIR}/tools/pack/encoder.cpp)
target_include_directories(inspect-fuzz-seed PRIVATE ${CMAKE_SOURCE_DIR})

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/pe-corpus)
