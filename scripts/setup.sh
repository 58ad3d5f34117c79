#!/usr/bin/env bash
# Installs what building and testing Brume7 needs on Debian 12, when missing.
# Idempotent: packages already present are not touched. Needs root (or sudo).
set -eu

native_packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libbenchmark-dev
  libsndfile1-dev libfreetype-dev libpng-dev libx11-dev fonts-liberation valgrind
)
windows_packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 wine32-preloader:i386 qemu-user
)
# Other people's plug-ins and hosts the tests use as peers, and the X server for editor tests.
test_peer_packages=(dpf-plugins-vst ardour xvfb xdotool)

want=("${native_packages[@]}")
case "${1:-all}" in
  native) ;;
  all) want+=("${windows_packages[@]}" "${test_peer_packages[@]}") ;;
  *) echo "usage: setup.sh [native|all]" >&2; exit 2 ;;
esac

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for package in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi

if [ "${1:-all}" = all ]; then
  $sudo "$(dirname "$0")/enable-i386-emulation.sh"
fi
