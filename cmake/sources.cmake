# Sources that need no Win32: built natively for the tools and fast tests, and
# into setup.exe.
set(PORTAVO_PURE_SOURCES
  core/text.cpp
  core/slots.cpp
  extract/lzhuf.cpp
)

# Sources that call Win32.
set(PORTAVO_WIN32_SOURCES
  core/app.cpp
  core/pump.cpp
  extract/packed_stream.cpp
  extract/install.cpp
  system/registry.cpp
  backdrop/dib.cpp
)

set(PORTAVO_WARNINGS -Wall -Wextra -Wshadow)
