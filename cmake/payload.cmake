# The payload and the product sources of one product, all under its gen
# folder GEN:
#   payload/             placeholder files written by portavo-payload
#   packed/              every payload file packed by portavo-pack, each one
#                        checked by decoding it again before it is kept
#   product_config.cpp   the product record, payload.rc, the payload
#                        resources, checksums.bin, the CRC-32 of every payload
#                        file, version.rc, the version resource, and
#                        setup.manifest, all written by portavo-config
# A product is a folder DIR with its description, product.ini, and its
# payload folder, payload/. The payload's file names come from portavo-config's
# reading of the description (PORTAVO_PAYLOAD_FILES of GEN/product.cmake); the
# placeholder list payload/placeholders.txt is read here, so editing it (or
# adding a payload file) configures again. A product without placeholders has
# no list, or an empty one.
function(portavo_product target dir gen)
  set(description ${dir}/product.ini)
  set(source_dir ${dir}/payload)
  set(list ${source_dir}/placeholders.txt)
  set(placeholder_dir ${gen}/payload)
  set(packed_dir ${gen}/packed)
  if(NOT gen STREQUAL PORTAVO_GEN_DIR)
    portavo_read_description(${description} ${gen}/product.cmake)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description})
  endif()
  include(${gen}/product.cmake)

  file(GLOB payload_sources CONFIGURE_DEPENDS ${source_dir}/*)
  # Placeholders: "kind size file name" lines.
  set(placeholders)
  set(lines)
  if(EXISTS ${list})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
    file(STRINGS ${list} lines)
  endif()
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*[a-z]+[ \t]+[0-9]+[ \t]+(.*[^ \t\r])[ \t\r]*$")
      list(APPEND placeholders ${placeholder_dir}/${CMAKE_MATCH_1})
    endif()
  endforeach()
  if(placeholders)
    add_custom_command(OUTPUT ${placeholders}
      COMMAND portavo-payload ${list} ${placeholder_dir}
      DEPENDS portavo-payload ${list}
      COMMENT "Generating the placeholder payload files of ${description}"
      VERBATIM)
  endif()

  # One pack-and-check command per file named in the description. A name found
  # nowhere gets no command; portavo-config then stops the build naming it.
  set(payload_files)
  set(packed_files)
  foreach(name IN LISTS PORTAVO_PAYLOAD_FILES)
    set(packed ${packed_dir}/${name})
    if(EXISTS ${source_dir}/${name} AND NOT IS_DIRECTORY ${source_dir}/${name})
      set(source ${source_dir}/${name})
    elseif(${placeholder_dir}/${name} IN_LIST placeholders)
      set(source ${placeholder_dir}/${name})
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

  set(outputs ${gen}/product_config.cpp ${gen}/payload.rc ${gen}/checksums.bin ${gen}/version.rc
    ${gen}/setup.manifest)
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND portavo-config --description ${description} --resources ${PORTAVO_RESOURCE_SCRIPT}
      ${PORTAVO_MACRO_OPTIONS} --payload ${source_dir} --payload ${placeholder_dir} --packed ${packed_dir}
      --gen ${gen}
    DEPENDS ${PORTAVO_CONFIG} ${description} ${PORTAVO_RESOURCE_SCRIPT} ${PORTAVO_MACRO_LISTINGS}
      ${payload_files} ${packed_files}
    COMMENT "Generating the product record and the payload resource script of ${description}"
    VERBATIM)
  # The product's names without its payload, for the programs that the MinGW
  # trees build into the payload (cmake/programs.cmake).
  set(names ${gen}/names/product_config.cpp ${gen}/names/version.rc ${gen}/names/uninstall.manifest)
  add_custom_command(
    OUTPUT ${names}
    COMMAND portavo-config --description ${description} --resources ${PORTAVO_RESOURCE_SCRIPT}
      ${PORTAVO_MACRO_OPTIONS} --names ${gen}/names
    DEPENDS ${PORTAVO_CONFIG} ${description} ${PORTAVO_RESOURCE_SCRIPT} ${PORTAVO_MACRO_LISTINGS}
    COMMENT "Generating the product names of ${description}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${outputs} ${names})
  add_dependencies(portavo-generated ${target})
endfunction()

# The product that setup.exe installs (PORTAVO_PRODUCT_DIR), into gen/, and
# the second product of the tests, tests/sample, into gen/sample/: `make test`
# builds its own setup.exe from the same objects and walks it.
portavo_product(portavo-product ${PORTAVO_PRODUCT_DIR} ${PORTAVO_GEN_DIR})
portavo_product(portavo-sample-product ${CMAKE_SOURCE_DIR}/tests/sample ${PORTAVO_GEN_DIR}/sample)

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
