#!/usr/bin/env bash
# Installs what building and testing Brume7 needs on Debian 12, when missing.
# Idempotent: packages already present are not touched. Needs root (or sudo).
set -eu

native_packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libbenchmark-dev
  libsndfile1-dev libfreetype-dev libpng-dev libx11-dev fonts-liberation valgrind
  libjack-jackd2-dev clang libclang-rt-14-dev
)
windows_packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 wine32-preloader:i386 qemu-user
)
# Other people's plug-ins and hosts the tests use as peers, and the X server for editor tests.
test_peer_packages=(dpf-plugins-vst ardour xvfb xdotool)
# The JACK server the live-play tests start with its dummy driver.
test_peer_packages+=(jackd2)

case "${1:-all}" in
  native | all) ;;
  *) echo "usage: setup.sh [native|all]" >&2; exit 2 ;;
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

mapfile -t missing < <(missing_from "${native_packages[@]}")
install_packages --no-install-recommends "${missing[@]}"
if [ "${1:-all}" = all ]; then
  # Wine as Debian recommends it (its fonts and libraries), the rest lean.
  mapfile -t missing < <(missing_from "${windows_packages[@]}")
  install_packages "" "${missing[@]}"
  # jackd2 asks whether to allow realtime priority; answered beforehand, as sudo may drop DEBIAN_FRONTEND.
  echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
  mapfile -t missing < <(missing_from "${test_peer_packages[@]}")
  install_packages --no-install-recommends "${missing[@]}"
fi
echo "setup: packages present"

if [ "${1:-all}" = all ]; then
  $sudo "$(dirname "$0")/enable-i386-emulation.sh"
fi
