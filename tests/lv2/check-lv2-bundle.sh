#!/usr/bin/env bash
# Real LV2 tools on the build's Brume7.lv2, one check per run; exits 77
# (skipped) when a tool is not installed.
#   validate  lv2_validate finds no error in the bundle's Turtle files
#   list      lv2ls lists the plug-in; lv2info shows its class, its 58 ports, its UI and its presets
#   bench     lv2bench runs it, without the options a fuller host gives
set -u
check=$1
bundle=$2
plugin=urn:pellarine:brume7

need() {
  command -v "$1" >/dev/null 2>&1 || { echo "skipped: $1 is not installed (Debian package $2)"; exit 77; }
}
fail() {
  echo "$1" >&2
  [ $# -gt 1 ] && echo "$2" | head -40 >&2
  exit 1
}

# lilv looks for bundles in the folders of LV2_PATH: one holding ours and LV2's own core description only.
path=$(mktemp -d)
trap 'rm -rf "$path"' EXIT
ln -s "$bundle" "$path/Brume7.lv2"
[ -d /usr/lib/lv2/core.lv2 ] && ln -s /usr/lib/lv2/core.lv2 "$path/core.lv2"

case $check in
  validate)
    need lv2_validate lv2-dev
    need sord_validate sordi
    output=$(lv2_validate "$bundle"/*.ttl 2>&1)
    status=$?
    grep -q "Found 0 errors" <<<"$output" && [ $status -eq 0 ] || fail "lv2_validate found errors:" "$output"
    echo "lv2_validate: $(tail -n 1 <<<"$output")"
    ;;
  list)
    need lv2ls lilv-utils
    need lv2info lilv-utils
    listed=$(LV2_PATH=$path lv2ls 2>&1)
    [ "$listed" = "$plugin" ] || fail "lv2ls listed:" "$listed"
    info=$(LV2_PATH=$path lv2info "$plugin" 2>&1)
    ports=$(grep -cE '^[[:space:]]*Port [0-9]+:' <<<"$info")
    [ "$ports" -eq 58 ] || fail "lv2info shows $ports ports, not 58:" "$info"
    for expected in "Class:             Instrument Plugin" "Name:              Brume7" "$plugin#ui" \
                    "http://lv2plug.in/ns/extensions/ui#X11UI" "Presets:" "Basic" "Symbol:      o1_shape" \
                    "Symbol:      g_wet" "Symbol:      out_right" "Symbol:      events" '0.1 = "Sinsaw"'; do
      grep -qF "$expected" <<<"$info" || fail "expected \"$expected\" in lv2info's output:" "$info"
    done
    echo "lv2ls and lv2info: $plugin, 58 ports, its UI and its presets"
    ;;
  bench)
    need lv2bench lilv-utils
    output=$(LV2_PATH=$path lv2bench -n 96000 "$plugin" 2>&1)
    status=$?
    [ $status -eq 0 ] && grep -qE "^[0-9.]+ $plugin\$" <<<"$output" || fail "lv2bench did not run it ($status):" "$output"
    echo "lv2bench: $output"
    ;;
  *)
    fail "usage: check-lv2-bundle.sh validate|list|bench BUNDLE"
    ;;
esac
