#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest and the build's tools.
#
# Uses a Wine prefix of the build's own (BRUME7_WINEPREFIX, default
# ~/.cache/brume7/wine), created once under a lock so that `ctest -j` is safe,
# with Wine's null graphics driver (windows and GDI work without an X server).
# The program's output goes through a temporary file: Wine's helper processes
# inherit stdout and may outlive the program, and a pipe reader (CTest) would
# wait for them forever. The program's exit code is passed through.
set -u

if [ $# -lt 1 ]; then
  echo "usage: run-under-wine.sh PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
if [ ! -x "$wine64" ]; then
  echo "run-under-wine.sh: Wine is not installed ($wine64 missing); run scripts/setup.sh" >&2
  exit 2
fi

export WINEPREFIX="${BRUME7_WINEPREFIX:-$HOME/.cache/brume7/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

# 32-bit programs need an i386 emulator on machines that cannot run them natively.
if [ -x /usr/bin/qemu-i386 ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] \
   && ! "${BRUME7_SKIP_BINFMT:-false}"; then
  "$(dirname "$0")/../scripts/enable-i386-emulation.sh" >/dev/null 2>&1 || true
fi

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.brume7-ready" ]; then
    "$wine64" wineboot -i >/dev/null 2>&1
    "$wine64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    "$wineserver" -w
    touch "$WINEPREFIX/.brume7-ready"
  fi
) 9>"$WINEPREFIX.lock"

out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$wine64" "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
exit $status
