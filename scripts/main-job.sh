#!/usr/bin/env bash
# Sets up a Debian 12 machine when needed, builds Brume7 (the Linux plug-in,
# the Windows DLL and brume7-host) and renders the built-in demo phrase
# through the Linux plug-in into demo.wav.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh all
scripts/build.sh

build/brume7-host render --demo -o demo.wav
echo
echo "The demo:        $(pwd)/demo.wav"
echo "Linux plug-in:   $(pwd)/build/Brume7.so"
echo "Windows plug-in: $(pwd)/build-win32/BRM7.dll"
echo "Inspect it with: build/brume7-host info"
