#!/usr/bin/env bash
# Sets up a Debian 12 machine when needed, builds Brume7 and shows what the
# built plug-in reports to a host.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh all
scripts/build.sh

build/brume7-host info
echo
echo "Linux plug-in:   $(pwd)/build/Brume7.so"
echo "Windows plug-in: $(pwd)/build-win32/BRM7.dll"
