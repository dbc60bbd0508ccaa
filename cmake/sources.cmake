# Sources that need no Win32: built natively for the tools and fast tests, and
# into setup.exe.
set(PORTAVO_PURE_SOURCES
  core/code_page.cpp
  core/text.cpp
  core/slots.cpp
  core/path_level.cpp
  core/product_files.cpp
  core/command_line.cpp
  pages/group_name.cpp
  pages/location_path.cpp
  system/shortcut_scope.cpp
  extract/install_plan.cpp
  extract/lzhuf.cpp
  extract/crc32.cpp
  extract/payload_check.cpp
)

# The pure sources that portavo-config links as well: the description is held
# to the program's own rules (path levels, with the text helpers and the code
# page they walk names by) and the build's checksums.
set(PORTAVO_CONFIG_SHARED_SOURCES
  core/code_page.cpp
  core/text.cpp
  core/path_level.cpp
  extract/crc32.cpp
)

# Sources that call Win32.
set(PORTAVO_WIN32_SOURCES
  core/app.cpp
  core/resource.cpp
  core/single_run.cpp
  core/system_code_page.cpp
  core/dll_search.cpp
  core/wizard.cpp
  core/unattended.cpp
  core/pump.cpp
  core/log.cpp
  extract/packed_stream.cpp
  extract/self_check.cpp
  extract/install.cpp
  extract/in_use.cpp
  extract/transaction.cpp
  extract/folder_path.cpp
  system/registry.cpp
  system/completion.cpp
  system/desktop_user.cpp
  system/desktop_shell.cpp
  backdrop/dib.cpp
  backdrop/backdrop.cpp
  pages/page.cpp
  pages/welcome.cpp
  pages/license.cpp
  pages/location.cpp
  pages/installing.cpp
  pages/installing_sink.cpp
  pages/group.cpp
  pages/shortcuts.cpp
  pages/programs_folder.cpp
)

# The uninstaller's own sources (uninstall.exe, file entry 0); it links the
# helpers it shares with setup.exe from the Win32 library.
set(PORTAVO_UNINSTALL_SOURCES
  ${CMAKE_SOURCE_DIR}/uninstall/main.cpp
  ${CMAKE_SOURCE_DIR}/uninstall/removal.cpp
  ${CMAKE_SOURCE_DIR}/uninstall/self_removal.cpp
)

set(PORTAVO_WARNINGS -Wall -Wextra -Wshadow)
