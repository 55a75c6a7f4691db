#!/bin/bash
# The main job as far as it exists: the modem test in automatic mode against
# the simulated modem on COM3, driven from outside through its wizard (it
# waits until the port scan has found the modem and Next is enabled, shows
# the page and cancels), then its log with the scan; and the setup program on
# the sample script, drawn into Xvfb with a screenshot of the first thing it
# shows. Everything runs under Wine in a throw-away prefix.
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
echo "== Setup program on the sample script (setup/samples/setup.inf)"
# The program, its script and the files it installs, in a folder of their own.
kit=$demo/setup-kit
shots=$root/build/screenshots
rm -rf "$kit" && mkdir -p "$kit" "$shots"
cp "$root/dist/x64/setup.exe" "$root/dist/x64/mdmprobe.exe" "$root/dist/x64/mdmprobe.ini" \
   "$root/dist/x64/mdmprobe.dat" "$kit/"
sed 's/$/\r/' "$root/setup/samples/setup.inf" > "$kit/setup.inf"
winpath() { echo "Z:$1" | tr / '\\'; }
uidriver=$(winpath "$root/build/x64/tools/uidriver/uidriver.exe")
setup=$(winpath "$kit/setup.exe")

# As shipped: the wizard's pages are not built yet, so setup shows nothing,
# says so in its log and ends with 1603 ("could not start").
run "$root/build/x64/tools/uidriver/uidriver.exe" session "$setup" -- sleep:1000 || true

# With a newer version of the product already installed, the first thing
# setup shows is its question whether to replace it: screenshot, then "No"
# (the user declines: 1602).
echo
echo "== Again, with version 2.0.0.0 of the product installed"
shot=$shots/setup-first.bmp
rm -f "$shot"
WINETEST_DISPLAY=xvfb run cmd /c reg add \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VantorModemTools' \
    /v ProductVersion /d 2.0.0.0 /f '&&' \
    "$uidriver" session "$setup" -- box "shot:$(winpath "$shot")" answer:no || true
[ -f "$shot" ] && echo "Screenshot of the first thing setup showed: $shot"
