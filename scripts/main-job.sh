#!/usr/bin/env bash
# Sets up a Debian 12 machine when needed (the packages the product needs,
# nothing for the tests), builds Brume7 (the Linux plug-in, both Windows DLLs
# and brume7-host, without tests) and renders the built-in demo phrase through
# the Linux plug-in into demo.wav.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh product
scripts/build.sh --product

build/brume7-host render --demo -o demo.wav
echo
echo "The demo:        $(pwd)/demo.wav"
echo "Linux plug-in:   $(pwd)/build/Brume7.so"
echo "Windows plug-in: $(pwd)/build-win32/BRM7.dll (32-bit), $(pwd)/build-win64/BRM7.dll (64-bit)"
echo "Inspect it with: build/brume7-host info"
echo "main-job: done in $((SECONDS / 60)) min $((SECONDS % 60)) s"
