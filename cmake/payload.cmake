# The payload and the product sources, all under ${PORTAVO_GEN_DIR}:
#   payload/             placeholder files written by portavo-payload
#   packed/              every payload file packed by portavo-pack, each one
#                        checked by decoding it again before it is kept
#   product_config.cpp   the product record, payload.rc, the payload
#                        resources, checksums.bin, the CRC-32 of every payload
#                        file, version.rc, the version resource, and
#                        setup.manifest, all written by portavo-config
# The payload's file names come from portavo-config's reading of the
# description (PORTAVO_PAYLOAD_FILES, cmake/describe.cmake); the placeholder
# list is read here, so editing it (or adding a payload file) configures again.
set(PORTAVO_PAYLOAD_SOURCE ${CMAKE_SOURCE_DIR}/resources/payload)
set(PORTAVO_PLACEHOLDERS ${PORTAVO_PAYLOAD_SOURCE}/placeholders.txt)
set(payload_gen_dir ${PORTAVO_GEN_DIR}/payload)
set(packed_dir ${PORTAVO_GEN_DIR}/packed)

file(GLOB payload_sources CONFIGURE_DEPENDS ${PORTAVO_PAYLOAD_SOURCE}/*)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PORTAVO_PLACEHOLDERS})

# Placeholders: "kind size file name" lines.
set(placeholders)
file(STRINGS ${PORTAVO_PLACEHOLDERS} lines)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*[a-z]+[ \t]+[0-9]+[ \t]+(.*[^ \t\r])[ \t\r]*$")
    list(APPEND placeholders ${payload_gen_dir}/${CMAKE_MATCH_1})
  endif()
endforeach()
add_custom_command(OUTPUT ${placeholders}
  COMMAND portavo-payload ${PORTAVO_PLACEHOLDERS} ${payload_gen_dir}
  DEPENDS portavo-payload ${PORTAVO_PLACEHOLDERS}
  COMMENT "Generating the placeholder payload files"
  VERBATIM)

# One pack-and-check command per file named in the description. A name found
# nowhere gets no command; portavo-config then stops the build naming it.
set(payload_files)
set(packed_files)
foreach(name IN LISTS PORTAVO_PAYLOAD_FILES)
  set(packed ${packed_dir}/${name})
  if(EXISTS ${PORTAVO_PAYLOAD_SOURCE}/${name} AND NOT IS_DIRECTORY ${PORTAVO_PAYLOAD_SOURCE}/${name})
    set(source ${PORTAVO_PAYLOAD_SOURCE}/${name})
  elseif(${payload_gen_dir}/${name} IN_LIST placeholders)
    set(source ${payload_gen_dir}/${name})
  else()
    continue()
  endif()
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packed_dir}
    COMMAND portavo-pack pack ${source} ${packed}.tmp
    COMMAND portavo-pack check ${source} ${packed}.tmp
    COMMAND ${CMAKE_COMMAND} -E rename ${packed}.tmp ${packed}
    DEPENDS portavo-pack ${source}
    COMMENT "Packing ${name}"
    VERBATIM)
  list(APPEND payload_files ${source})
  list(APPEND packed_files ${packed})
endforeach()

add_custom_command(
  OUTPUT ${PORTAVO_GEN_DIR}/product_config.cpp ${PORTAVO_GEN_DIR}/payload.rc
    ${PORTAVO_GEN_DIR}/checksums.bin ${PORTAVO_GEN_DIR}/version.rc ${PORTAVO_GEN_DIR}/setup.manifest
  COMMAND portavo-config --description ${PORTAVO_DESCRIPTION}
    --payload ${PORTAVO_PAYLOAD_SOURCE} --payload ${payload_gen_dir}
    --packed ${packed_dir} --gen ${PORTAVO_GEN_DIR}
  DEPENDS ${PORTAVO_CONFIG} ${PORTAVO_DESCRIPTION} ${payload_files} ${packed_files}
  COMMENT "Generating the product record and the payload resource script"
  VERBATIM)
add_custom_target(portavo-product
  DEPENDS ${PORTAVO_GEN_DIR}/product_config.cpp ${PORTAVO_GEN_DIR}/payload.rc
    ${PORTAVO_GEN_DIR}/checksums.bin ${PORTAVO_GEN_DIR}/version.rc ${PORTAVO_GEN_DIR}/setup.manifest)
add_dependencies(portavo-generated portavo-product)

# The file table as compiled into setup.exe, printed by `make demo`.
add_executable(portavo-table ${CMAKE_SOURCE_DIR}/tools/config/table_main.cpp
  ${PORTAVO_GEN_DIR}/product_config.cpp)
target_compile_options(portavo-table PRIVATE ${PORTAVO_WARNINGS})
target_link_libraries(portavo-table PRIVATE portavo_config_lib portavo_pure)
# Built after the generating target, so that no second copy of the commands
# above runs in parallel with it.
add_dependencies(portavo-table portavo-product)
set_target_properties(portavo-table PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools/config)

# The cost of setup.exe's self-check of its payload, printed by `make bench`.
add_executable(portavo-check-bench ${CMAKE_SOURCE_DIR}/tools/pack/check_bench.cpp
  ${PORTAVO_GEN_DIR}/product_config.cpp)
target_compile_options(portavo-check-bench PRIVATE ${PORTAVO_WARNINGS})
target_compile_definitions(portavo-check-bench PRIVATE PORTAVO_GEN_DIR="${PORTAVO_GEN_DIR}")
target_link_libraries(portavo-check-bench PRIVATE portavo_pure)
add_dependencies(portavo-check-bench portavo-product)
set_target_properties(portavo-check-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools/pack)
