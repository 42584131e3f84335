# Shared by scripts/run and scripts/test: installs the Debian packages Wendra
# needs when any is missing, then configures and builds. Sourced, not run.
set -euo pipefail

WENDRA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What the build needs, and what the tests use (a virtual X server, a tool to
# send keys to it, PDF tools for the printed pages, and the programs that
# share the calendar folder: todoman, and vdirsyncer with a Radicale server).
WENDRA_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libsqlite3-dev libical-dev libxcb-keysyms1-dev libxkbcommon-dev libgl-dev
  libbenchmark-dev
  xvfb xauth xdotool poppler-utils
  # Printed pages ask for Helvetica; fontconfig gives this metric twin of it.
  fonts-liberation2
  todoman radicale vdirsyncer
  # The fuzz targets: clang and its libFuzzer and sanitizer runtimes.
  clang libclang-rt-14-dev
  # The icons are drawn from one SVG at build time; the package test builds
  # a .deb and validates the desktop entry and the software-centre file.
  librsvg2-bin dpkg-dev file desktop-file-utils appstream
)

wendra_install_packages() {
  local missing=()
  for package in "${WENDRA_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  # Another install running at the same moment (a second build, the desktop's
  # updater) holds the package lock for a while: wait for it, do not fail.
  local wait=(-o DPkg::Lock::Timeout=300)
  "${sudo[@]}" apt-get "${wait[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

# wendra_build <build folder> [extra cmake options...]
wendra_build() {
  local dir=$1
  shift
  cmake -S "$WENDRA_ROOT" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}
