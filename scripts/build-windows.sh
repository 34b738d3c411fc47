#!/usr/bin/env bash
# Builds every program for 64-bit Windows with mingw-w64 against the real Windows SDK:
# build-windows/bin/NAME.exe, the generated Resource folder beside bin, and
# build-windows/demo-suite-windows.zip holding both (unpack it anywhere and run bin\NAME.exe).
#   scripts/build-windows.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/setup.sh"
demo_install_packages windows

# The data files are written by the resource generator of the Linux build.
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target resources

out=$top/build-windows
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" -DDEMO_RESOURCE_SOURCE="$top/build/Resource" >/dev/null
cmake --build "$out"

zip=demo-suite-windows.zip
rm -f "$out/$zip"
(cd "$out" && cmake -E tar cf "$zip" --format=zip bin Resource)
echo "Windows programs: $out/bin; data: $out/Resource; both in $out/$zip"
