#!/bin/bash
# The main job as far as it exists: the modem test in automatic mode against
# the simulated modem on COM3, driven from outside through its wizard (it
# waits until the port scan has found the modem and Next is enabled, shows
# the page and cancels), then its log with the scan; and the setup program
# starting and ending. Everything runs under
# Wine in a throw-away prefix, headless.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
demo=$root/build/demo
mkdir -p "$demo"
rm -f "$demo/mdmprobe.log"
winelog="Z:$(echo "$demo/mdmprobe.log" | tr / '\\')"

run() {
    WINETEST_PORTS="COM3=$root/tools/modemsim/profiles/vantor-vx.profile" \
        "$root/tools/wine/winetest" run --root "$root/build/x64/wine" \
        --modemsim "$root/build/host/tools/modemsim/modemsim" -- "$@"
}

echo "== Modem test, automatic mode: mdmprobe.exe /P:COM3 /L:$winelog"
run "$root/build/x64/tools/uidriver/uidriver.exe" session \
    "$root/dist/x64/mdmprobe.exe" "/P:COM3" "/L:$winelog" -- \
    wait enabled:next show press:cancel
echo
echo "== Its log ($demo/mdmprobe.log):"
cat "$demo/mdmprobe.log"
echo
echo
echo "== Setup program: setup.exe starts and ends"
run "$root/dist/x64/setup.exe" && echo "setup.exe ended with exit code $?"
