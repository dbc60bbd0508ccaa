# The payload of one product as this tree packs it: the programs of entries
# that the project builds itself are built here, for this tree's
# architecture, and the product record, payload resources and checksums are
# generated from them into this tree's gen folder by the native tree's tools.
#
#   uninstaller  entry 0 when the description says "uninstaller = yes": the
#                uninstall program, padded with zeros to the size that
#                payload/placeholders.txt lists for it
#   stand-ins    every "exe" or "dll" placeholder of payload/placeholders.txt
#                but the uninstaller: a small program (a window naming the
#                product) or an in-process server offering no class, padded
#                with the placeholder's own bytes past its end, so that it
#                packs as the placeholder did
#
# Every other file is the product's payload file or the native tree's
# placeholder. All of them are copied into TREE_GEN/files, packed into
# TREE_GEN/packed, and portavo-config writes product_config.cpp, payload.rc,
# checksums.bin, version.rc and setup.manifest into TREE_GEN.
get_filename_component(PORTAVO_HOST_DIR ${PORTAVO_GEN_DIR}/.. ABSOLUTE)
set(PORTAVO_HOST_PACK ${PORTAVO_HOST_DIR}/tools/pack/portavo-pack)
set(PORTAVO_HOST_PAYLOAD ${PORTAVO_HOST_DIR}/tools/payload/portavo-payload)
set(PORTAVO_HOST_CONFIG ${PORTAVO_HOST_DIR}/config-tool/portavo-config)

# Programs without the C runtime's start-up, like setup.exe.
function(portavo_small_program target)
  target_compile_options(${target} PRIVATE ${PORTAVO_WARNINGS} ${PORTAVO_WIN32_FLAGS})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
  target_link_options(${target} PRIVATE ${PORTAVO_LINK_STATIC} -s -nostartfiles
    -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc)
  portavo_reproducible_link(${target})
endfunction()

# prefix names this product's targets and output folder ("" or "sample-");
# dir is the product folder; host_gen the native tree's gen folder of it;
# tree_gen this tree's. Makes ${prefix}record, a library with the record,
# built before the resources that include the generated files may compile;
# the files as packed are in tree_gen/files.
function(portavo_tree_payload prefix dir host_gen tree_gen)
  include(${host_gen}/product.cmake)
  set(out_dir ${CMAKE_BINARY_DIR}/${prefix}programs)
  # The uninstaller beside its setup.exe: build/win32/uninstall.exe.
  string(REGEX REPLACE "-$" "" uninstall_dir "${CMAKE_BINARY_DIR}/${prefix}")
  set(files_dir ${tree_gen}/files)
  set(packed_dir ${tree_gen}/packed)
  set(names ${host_gen}/names)
  # "kind size name" lines of the placeholder list.
  set(lines)
  if(EXISTS ${dir}/payload/placeholders.txt)
    file(STRINGS ${dir}/payload/placeholders.txt lines)
  endif()
  set(sizes)
  set(kinds)
  set(listed)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*([a-z]+)[ \t]+([0-9]+)[ \t]+(.*[^ \t\r])[ \t\r]*$")
      list(APPEND listed "${CMAKE_MATCH_3}")
      list(APPEND kinds ${CMAKE_MATCH_1})
      list(APPEND sizes ${CMAKE_MATCH_2})
    endif()
  endforeach()

  set(packed_files)
  set(copied_files)
  set(index 0)
  foreach(name IN LISTS PORTAVO_PAYLOAD_FILES)
    list(FIND listed "${name}" at)
    set(kind "")
    if(at GREATER -1)
      list(GET kinds ${at} kind)
      list(GET sizes ${at} size)
    endif()
    set(file ${files_dir}/${name})
    if(index EQUAL 0 AND PORTAVO_BUILT_UNINSTALLER)
      if(at EQUAL -1)
        message(FATAL_ERROR "${dir}/payload/placeholders.txt lists no size for the uninstaller ${name}")
      endif()
      if(NOT TARGET ${prefix}uninstall)
        add_executable(${prefix}uninstall WIN32 ${PORTAVO_UNINSTALL_SOURCES} ${names}/product_config.cpp
          ${CMAKE_SOURCE_DIR}/uninstall/uninstall.rc)
        target_link_libraries(${prefix}uninstall PRIVATE portavo_win32)
        portavo_small_program(${prefix}uninstall)
        target_link_options(${prefix}uninstall PRIVATE -Wl,--entry=${PORTAVO_SYMBOL_PREFIX}WinMainCRTStartup)
        set_property(SOURCE ${CMAKE_SOURCE_DIR}/uninstall/uninstall.rc APPEND PROPERTY OBJECT_DEPENDS
          ${names}/version.rc ${names}/uninstall.manifest)
        set_target_properties(${prefix}uninstall PROPERTIES OUTPUT_NAME uninstall RUNTIME_OUTPUT_DIRECTORY ${uninstall_dir})
        if(prefix STREQUAL "")
          # The link map tells `make size` what each object adds.
          target_link_options(uninstall PRIVATE -Wl,-Map=${CMAKE_BINARY_DIR}/uninstall.map)
          # A second copy from its own objects, for the reproducibility test
          # (cmake/reproducible-check.cmake).
          add_executable(uninstall-again WIN32 EXCLUDE_FROM_ALL ${PORTAVO_UNINSTALL_SOURCES}
            ${names}/product_config.cpp ${CMAKE_SOURCE_DIR}/uninstall/uninstall.rc)
          target_link_libraries(uninstall-again PRIVATE portavo_win32)
          portavo_small_program(uninstall-again)
          target_link_options(uninstall-again PRIVATE -Wl,--entry=${PORTAVO_SYMBOL_PREFIX}WinMainCRTStartup)
          target_include_directories(uninstall-again PRIVATE ${names})
          set_target_properties(uninstall-again PROPERTIES OUTPUT_NAME uninstall
            RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/again)
        endif()
      endif()
      # Each product's resources: its own version resource and manifest.
      target_include_directories(${prefix}uninstall PRIVATE ${names})
      # The release tree of `make sign` signs it, at the same size.
      set(pad ${PORTAVO_HOST_PAYLOAD} pad $<TARGET_FILE:${prefix}uninstall> ${size} ${file})
      if(PORTAVO_SIGNED_PROGRAMS)
        set(pad ${CMAKE_SOURCE_DIR}/scripts/sign-padded $<TARGET_FILE:${prefix}uninstall> ${size} ${file}
          ${PORTAVO_HOST_PAYLOAD})
      endif()
      add_custom_command(OUTPUT ${file}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${files_dir}
        COMMAND ${pad}
        DEPENDS ${prefix}uninstall
        COMMENT "Padding the uninstaller to ${size} bytes as ${name}"
        VERBATIM)
    elseif(kind STREQUAL "exe" OR kind STREQUAL "dll")
      set(program ${prefix}standin-${kind})
      if(NOT TARGET ${program})
        if(kind STREQUAL "exe")
          add_executable(${program} WIN32 ${CMAKE_SOURCE_DIR}/standin/program.cpp ${names}/product_config.cpp)
          target_link_libraries(${program} PRIVATE portavo_win32)
          portavo_small_program(${program})
          target_link_options(${program} PRIVATE -Wl,--entry=${PORTAVO_SYMBOL_PREFIX}WinMainCRTStartup)
        else()
          add_library(${program} SHARED ${CMAKE_SOURCE_DIR}/standin/server.cpp)
          set_target_properties(${program} PROPERTIES PREFIX "")
          portavo_small_program(${program})
          target_link_options(${program} PRIVATE -Wl,--subsystem,windows)
          if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            # Undecorated export names, as Windows looks them up.
            target_link_options(${program} PRIVATE -Wl,--entry=_DllMainCRTStartup@12 -Wl,--kill-at)
          else()
            target_link_options(${program} PRIVATE -Wl,--entry=DllMainCRTStartup)
          endif()
          target_link_libraries(${program} PRIVATE kernel32)
        endif()
        set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${out_dir})
      endif()
      add_custom_command(OUTPUT ${file}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${files_dir}
        COMMAND ${PORTAVO_HOST_PAYLOAD} pad $<TARGET_FILE:${program}> ${size} ${file} ${host_gen}/payload/${name}
        DEPENDS ${program} ${host_gen}/payload/${name}
        COMMENT "Padding the stand-in ${name} to ${size} bytes"
        VERBATIM)
    else()
      if(at GREATER -1)
        set(source ${host_gen}/payload/${name})
      else()
        set(source ${dir}/payload/${name})
      endif()
      add_custom_command(OUTPUT ${file}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${files_dir}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${file}
        DEPENDS ${source}
        VERBATIM)
    endif()
    set(packed ${packed_dir}/${name})
    add_custom_command(OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${packed_dir}
      COMMAND ${PORTAVO_HOST_PACK} pack ${file} ${packed}.tmp
      COMMAND ${PORTAVO_HOST_PACK} check ${file} ${packed}.tmp
      COMMAND ${CMAKE_COMMAND} -E rename ${packed}.tmp ${packed}
      DEPENDS ${file}
      COMMENT "Packing ${name}"
      VERBATIM)
    list(APPEND copied_files ${file})
    list(APPEND packed_files ${packed})
    math(EXPR index "${index} + 1")
  endforeach()

  set(description ${dir}/product.ini)
  # The native tree's listings of the resource script's macros, one per
  # MinGW target (cmake/describe.cmake).
  set(macro_listings)
  set(macro_options)
  foreach(triplet i686-w64-mingw32 x86_64-w64-mingw32)
    list(APPEND macro_listings ${PORTAVO_GEN_DIR}/resource-macros-${triplet}.i)
    list(APPEND macro_options --macros ${PORTAVO_GEN_DIR}/resource-macros-${triplet}.i)
  endforeach()
  set(outputs ${tree_gen}/product_config.cpp ${tree_gen}/payload.rc ${tree_gen}/checksums.bin
    ${tree_gen}/version.rc ${tree_gen}/setup.manifest)
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${PORTAVO_HOST_CONFIG} --description ${description} --resources ${CMAKE_SOURCE_DIR}/resources/setup.rc
      ${macro_options} --payload ${files_dir} --packed ${packed_dir} --gen ${tree_gen}
    DEPENDS ${PORTAVO_HOST_CONFIG} ${description} ${macro_listings} ${copied_files} ${packed_files}
    COMMENT "Generating the product record and payload resources of ${description} for this tree"
    VERBATIM)
  # The record's library is the one target that runs these commands.
  add_library(${prefix}record STATIC ${tree_gen}/product_config.cpp)
  target_include_directories(${prefix}record PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${prefix}record PRIVATE ${PORTAVO_WIN32_FLAGS})
endfunction()
