# Everything the Win32 trees take from the native tree lands in gen/:
# product_config.cpp, payload.rc and the rest of cmake/payload.cmake, the
# build settings product.cmake (cmake/describe.cmake), and the pictures
# and icons under gen/art (cmake/art.cmake).
add_custom_target(portavo-generated ALL)
include(${CMAKE_SOURCE_DIR}/cmake/describe.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/payload.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/art.cmake)
