#!/usr/bin/env bash
# Renders the same scenario through the Windows DLL under Wine and through the
# Linux plug-in, and requires the same samples (within 1e-6). With
# BRUME7_VECTOR_PATH set, both render on that vector path.
# Exits 77 (skipped) when the Windows build tree has not been built.
set -u
native_program=$1
native_plugin=$2
windows_build=$3
wine_runner=$4

windows_program="$windows_build/tests/plugin/render_scenario.exe"
windows_plugin="$windows_build/BRM7.dll"
if [ ! -f "$windows_program" ] || [ ! -f "$windows_plugin" ]; then
  echo "skipped: no Windows build in $windows_build (scripts/build.sh makes one)"
  exit 77
fi

reference=$(mktemp)
trap 'rm -f "$reference"' EXIT
windows_output=$("$wine_runner" "$windows_program" "$windows_plugin" "$reference" | tr -d '\r'; exit "${PIPESTATUS[0]}") || {
  echo "$windows_output"
  echo "the Windows render failed" >&2
  exit 1
}
echo "Windows: $windows_output"
# A forced vector path (BRUME7_VECTOR_PATH) must be the one the DLL ran.
if [ -n "${BRUME7_VECTOR_PATH:-}" ] && ! grep -qx "vector path: $BRUME7_VECTOR_PATH" <<< "$windows_output"; then
  echo "skipped: the DLL cannot run the $BRUME7_VECTOR_PATH path here"
  exit 77
fi
"$native_program" "$native_plugin" --compare "$reference"
