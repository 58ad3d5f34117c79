#!/usr/bin/env bash
# Installs what building and testing Brume7 needs on Debian 12, when missing.
# Idempotent: packages already present are not touched. Needs root (or sudo).
set -eu

# What building the product needs: the plug-ins, brume7-host and the Windows DLLs.
product_packages=(
  cmake ninja-build g++ pkg-config ccache
  libsndfile1-dev libfreetype-dev libpng-dev libx11-dev fonts-liberation libjack-jackd2-dev
  lv2-dev liblilv-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
)
# What the native tests need beyond that: test frameworks, sanitizer and fuzzing
# runtimes, the formatting check, and other people's plug-ins and hosts as test
# peers (a JACK server for the live-play tests, an X server for the editor tests,
# a plug-in whose programs travel as chunks,
# LV2 tools and hosts for the LV2 bundle).
native_test_packages=(
  googletest libgtest-dev libbenchmark-dev valgrind clang libclang-rt-14-dev clang-format
  dpf-plugins-vst dpf-plugins-lv2 dragonfly-reverb-vst ardour xvfb xdotool jackd2 lilv-utils sordi jalv
)
# Wine for the Windows tests, with QEMU's i386 emulator for machines that cannot run 32-bit code.
windows_test_packages=(wine wine64 wine32:i386 wine32-preloader:i386 qemu-user)

usage="usage: setup.sh [product|native|all]
  product  what building the plug-ins, brume7-host and the Windows DLLs needs
  native   that and what the native tests need
  all      that and Wine for the Windows tests (the default)"
set_name=${1:-all}
case "$set_name" in
  product | native | all) ;;
  -h | --help) echo "$usage"; exit 0 ;;
  *) echo "$usage" >&2; exit 2 ;;
esac

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

# The packages of a list that are not installed yet.
missing_from() {
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      echo "$package"
    fi
  done
}

updated=false
install_packages() {
  local recommends=$1
  shift
  [ $# -gt 0 ] || return 0
  echo "setup: installing $*"
  if printf '%s\n' "$@" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    updated=false
  fi
  if ! $updated; then
    # A mirror in the middle of a sync can fail one index; the lists at hand may still do.
    $sudo apt-get update -q || echo "setup: apt-get update failed; going on with the package lists at hand" >&2
    updated=true
  fi
  if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $recommends "$@"; then
    # Without one architecture's security index the two architectures' newest
    # versions differ; the release's own versions are the same for both.
    local codename
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "setup: retrying with the versions of $codename itself" >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q -t "$codename" $recommends "$@"
  fi
}

mapfile -t missing < <(missing_from "${product_packages[@]}")
install_packages --no-install-recommends "${missing[@]}"
if [ "$set_name" != product ]; then
  # jackd2 asks whether to allow realtime priority; answered beforehand, as sudo may drop DEBIAN_FRONTEND.
  echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
  mapfile -t missing < <(missing_from "${native_test_packages[@]}")
  install_packages --no-install-recommends "${missing[@]}"
fi
if [ "$set_name" = all ]; then
  # Wine as Debian recommends it (its fonts and libraries).
  mapfile -t missing < <(missing_from "${windows_test_packages[@]}")
  install_packages "" "${missing[@]}"
fi
echo "setup: packages present ($set_name)"

if [ "$set_name" = all ]; then
  $sudo "$(dirname "$0")/enable-i386-emulation.sh"
fi
