#!/usr/bin/env bash
# Set up, build, test and run Glyphary on Debian 12.
#   scripts/dev.sh setup   install what is missing (as root; otherwise print the install line)
#   scripts/dev.sh build   setup, then build everything and the demo catalogue
#   scripts/dev.sh test    build, then run every test
#   scripts/dev.sh run     build, then start Glyphary with the demo catalogue
#   scripts/dev.sh install PREFIX   build, then install under PREFIX (cmake --install)
#   scripts/dev.sh deb     build, then make a Debian package in the build folder and check it
#                          with lintian (as root, installs the packaging tools first)
# BUILD_DIR (default: build) and CMAKE_ARGS (for example -DGLYPHARY_SANITIZE=ON) are honoured.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
# libzip-dev's CMake files name zipcmp, zipmerge and ziptool, which Debian ships apart.
packages=(cmake g++ ninja-build pkg-config qt6-base-dev libzip-dev zlib1g-dev zipcmp zipmerge ziptool zip libgtest-dev libbenchmark-dev tango-icon-theme qt6-svg-dev libwmf-dev libemf2svg-dev qt6-image-formats-plugins libpng-dev)

# Only the deb verb needs these.
packaging_packages=(dpkg-dev lintian)

# install_missing PACKAGE...: apt-get installs the ones not installed (as root), else says how.
install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local line="apt-get update && apt-get install -y ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "  $line" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

setup() {
  install_missing "${packages[@]}"
}

build() {
  setup
  # shellcheck disable=SC2086
  cmake -S "$here" -B "$build_dir" -G Ninja ${CMAKE_ARGS:-}
  # The build makes the demo catalogue beside the program (target demo_catalogue).
  cmake --build "$build_dir" -j "${JOBS:-2}"
}

case "${1:-}" in
  setup) setup ;;
  build) build ;;
  test)
    build
    cd "$build_dir"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "${JOBS:-2}"
    ;;
  run)
    build
    exec "$build_dir/bin/glyphary" "${@:2}"
    ;;
  install)
    [ -n "${2:-}" ] || { echo "usage: scripts/dev.sh install PREFIX" >&2; exit 2; }
    prefix=$(realpath -m "$2")
    build
    cmake --install "$build_dir" --prefix "$prefix"
    ;;
  deb)
    install_missing "${packaging_packages[@]}"
    build
    bash "$here/scripts/deb.sh" "$build_dir"
    ;;
  *)
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
