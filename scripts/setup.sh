# Shared by ./test and ./demo: installs what is missing, then configures and builds.
# Sourced, not run.

DEMO_PACKAGES=(g++ cmake ninja-build pkg-config libsdl2-dev libepoxy-dev libstb-dev libfreetype-dev
  libfontconfig-dev fonts-arphic-uming libgl1-mesa-dri libegl-mesa0 libgtest-dev libgmock-dev
  libbenchmark-dev xvfb xauth xfonts-base libx11-dev libpng-dev zlib1g-dev)

# The Windows build (mingw-w64) and its checks under Wine, for ./test and
# scripts/build-windows.sh. Installed without Debian's recommendations, which for Wine are
# mostly multimedia codecs; the X and GL libraries Wine loads come with SDL's packages above.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 wine wine64)

# The browser build (scripts/build-web.sh) and its checks in headless Chromium: emscripten,
# the font cutter and the faces it cuts down, the browser.
WEB_PACKAGES=(emscripten python3-fonttools fonts-dejavu-core chromium)

# The fuzz targets, built with clang and its sanitizer and libFuzzer runtimes, for ./test.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# The packages of the lists named (DEMO_PACKAGES WINDOWS_PACKAGES ...) that are not installed.
demo_missing_packages() {
  local missing=() list p
  for list in "$@"; do
    local -n packages=$list
    for p in "${packages[@]}"; do
      dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
  done
  echo "${missing[@]}"
}

# Installs what is missing of DEMO_PACKAGES, and of WINDOWS_PACKAGES, FUZZ_PACKAGES and
# WEB_PACKAGES when called with "windows", "fuzz" and "web".
demo_install_packages() {
  local missing windows_missing="" word
  missing=$(demo_missing_packages DEMO_PACKAGES)
  for word in "$@"; do
    [ "$word" = windows ] && windows_missing="$windows_missing $(demo_missing_packages WINDOWS_PACKAGES)"
    [ "$word" = fuzz ] && missing="$missing $(demo_missing_packages FUZZ_PACKAGES)"
    [ "$word" = web ] && missing="$missing $(demo_missing_packages WEB_PACKAGES)"
  done
  missing=$(echo $missing)
  windows_missing=$(echo $windows_missing)
  [ -z "$missing$windows_missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:" >&2
    [ -n "$missing" ] && echo "  sudo apt-get install -y $missing" >&2
    [ -n "$windows_missing" ] && echo "  sudo apt-get install -y --no-install-recommends $windows_missing" >&2
    return 1
  fi
  echo "Installing: $missing $windows_missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || return 1
  if [ -n "$missing" ]; then apt-get install -y -qq $missing >/dev/null || return 1; fi
  if [ -n "$windows_missing" ]; then
    apt-get install -y -qq --no-install-recommends $windows_missing >/dev/null || return 1
  fi
}

demo_build() {
  local top=$1
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$top/build"
}
