# The same sources give the same setup.exe, byte for byte, on any machine.
# Included by the MinGW trees.
#
# Time: the linker stamps the PE header with SOURCE_DATE_EPOCH when that is
# set. It is taken from the environment of the configure run when given there,
# else it is the product's release time (its wall-clock fields read as UTC),
# PORTAVO_RELEASE_EPOCH of the build settings that portavo-config wrote into
# the native tree's gen folder.
# Paths: source and gen folder paths are mapped to fixed names in anything the
# compiler writes; the resource compiler embeds only the files' bytes.
set(settings ${PORTAVO_GEN_DIR}/product.cmake)
if(NOT EXISTS ${settings})
  message(FATAL_ERROR "${settings} is missing: configure the native tree first")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${settings})
include(${settings})
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(PORTAVO_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  set(PORTAVO_SOURCE_DATE_EPOCH ${PORTAVO_RELEASE_EPOCH})
endif()
if(NOT PORTAVO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$" OR PORTAVO_SOURCE_DATE_EPOCH GREATER 4294967295)
  message(FATAL_ERROR "PE time stamp ${PORTAVO_SOURCE_DATE_EPOCH} is not a 32-bit count of seconds")
endif()

set(PORTAVO_REPRODUCIBLE_FLAGS
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
  -ffile-prefix-map=${PORTAVO_GEN_DIR}=gen
  -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

# Links a target with the fixed time stamp.
function(portavo_reproducible_link target)
  set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK
    "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${PORTAVO_SOURCE_DATE_EPOCH}")
endfunction()
