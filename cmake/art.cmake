# The pictures and icons of setup.exe, drawn by portavo-art into gen/art
# (where the MinGW trees' windres finds them), and PNG previews of them in
# previews/ of the native build folder, for people to look at.
set(PORTAVO_ART_NAMES
  bitmap200.bmp bitmap201.bmp bitmap202.bmp bitmap203.bmp bitmap204.bmp icon100.ico icon101.ico)
set(PORTAVO_ART_DIR ${PORTAVO_GEN_DIR}/art)
set(PORTAVO_PREVIEW_DIR ${CMAKE_BINARY_DIR}/previews)

set(PORTAVO_ART_FILES "")
set(PORTAVO_PREVIEW_FILES "")
foreach(name ${PORTAVO_ART_NAMES})
  list(APPEND PORTAVO_ART_FILES ${PORTAVO_ART_DIR}/${name})
  get_filename_component(stem ${name} NAME_WE)
  list(APPEND PORTAVO_PREVIEW_FILES ${PORTAVO_PREVIEW_DIR}/${stem}.png)
endforeach()

add_custom_command(
  OUTPUT ${PORTAVO_ART_FILES} ${PORTAVO_PREVIEW_FILES}
  COMMAND portavo-art ${PORTAVO_ART_DIR} ${PORTAVO_PREVIEW_DIR}
  DEPENDS portavo-art ${PORTAVO_FONT_DIR}/DejaVuSans.ttf ${PORTAVO_FONT_DIR}/DejaVuSans-Bold.ttf
  COMMENT "Drawing the pictures and icons into ${PORTAVO_ART_DIR}"
  VERBATIM)
add_custom_target(portavo-art-files DEPENDS ${PORTAVO_ART_FILES} ${PORTAVO_PREVIEW_FILES})
add_dependencies(portavo-generated portavo-art-files)
