# Toolchain for the Windows build: 64-bit Windows programs made with mingw-w64 on Linux,
# against mingw-w64's own Windows SDK headers and import libraries.
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DEMO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DEMO_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${DEMO_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${DEMO_MINGW_PREFIX}-windres)

# Libraries and headers come from the mingw-w64 tree only, never from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/${DEMO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
