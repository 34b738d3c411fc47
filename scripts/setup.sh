# Shared by ./test and ./demo: installs what is missing, then configures and builds.
# Sourced, not run.

DEMO_PACKAGES=(g++ cmake ninja-build pkg-config libsdl2-dev libepoxy-dev libassimp-dev libstb-dev libfreetype-dev
  libfontconfig-dev fonts-arphic-uming libgl1-mesa-dri libegl-mesa0 libgtest-dev libgmock-dev
  libbenchmark-dev xvfb xauth xfonts-base libx11-dev libpng-dev zlib1g-dev)

demo_missing_packages() {
  local missing=()
  for p in "${DEMO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]}"
}

demo_install_packages() {
  local missing
  missing=$(demo_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y $missing" >&2
    return 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq $missing >/dev/null
}

demo_build() {
  local top=$1
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$top/build"
}
