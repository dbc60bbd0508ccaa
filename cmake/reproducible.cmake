# The same sources give the same setup.exe, byte for byte, on any machine.
# Included by the MinGW trees.
#
# Time: the linker stamps the PE header with SOURCE_DATE_EPOCH when that is
# set. It is taken from the environment of the configure run when given there,
# else from the product's release time (its wall-clock fields read as UTC).
# Paths: source and gen folder paths are mapped to fixed names in anything the
# compiler writes; the resource compiler embeds only the files' bytes.
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(PORTAVO_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  set(description ${CMAKE_SOURCE_DIR}/resources/product.ini)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description})
  file(STRINGS ${description} lines REGEX "^[ \t]*release_time[ \t]*=")
  set(fields "[ \t]*([0-9]+)[ \t]*")
  if(NOT lines MATCHES "=${fields},${fields},${fields},${fields},${fields},${fields},${fields}")
    message(FATAL_ERROR "${description}: no release_time to stamp setup.exe with")
  endif()
  set(y ${CMAKE_MATCH_1})
  set(m ${CMAKE_MATCH_2})
  set(d ${CMAKE_MATCH_4})
  # Days since 1970-01-01 of a proleptic Gregorian date, counted in 400-year
  # eras that start on March 1.
  if(m LESS_EQUAL 2)
    math(EXPR y "${y} - 1")
    math(EXPR m "${m} + 9")
  else()
    math(EXPR m "${m} - 3")
  endif()
  math(EXPR era "${y} / 400")
  math(EXPR yoe "${y} - ${era} * 400")
  math(EXPR doy "(153 * ${m} + 2) / 5 + ${d} - 1")
  math(EXPR doe "${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + ${doy}")
  math(EXPR days "${era} * 146097 + ${doe} - 719468")
  math(EXPR PORTAVO_SOURCE_DATE_EPOCH
    "${days} * 86400 + ${CMAKE_MATCH_5} * 3600 + ${CMAKE_MATCH_6} * 60 + ${CMAKE_MATCH_7}")
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
