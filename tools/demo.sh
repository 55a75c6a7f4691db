#!/bin/bash
# The main job: the modem test in automatic mode against the simulated
# VX-56i of the sample definition file on COM3 (registered as an installed
# Windows modem, as its driver would be), unattended from start to end:
#   mdmprobe.exe /P:COM3 /T:<number> /L:<log>
# then its log and its run status; and the setup program on the sample
# script, drawn into Xvfb with a screenshot of the first thing it shows.
# Everything runs under Wine in a throw-away prefix.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
demo=$root/build/demo
mkdir -p "$demo"
rm -f "$demo/mdmprobe.log"
win() { echo "Z:$(echo "$1" | tr / '\\')"; }
number=0305550100

run() {
    WINETEST_PORTS="COM3=$root/tools/modemsim/profiles/vantor-vx.profile" \
        "$root/tools/wine/winetest" run --root "$root/build/x64/wine" \
        --modemsim "$root/build/host/tools/modemsim/modemsim" -- "$@"
}

# The modem's driver entry, then the program; uidriver only starts it and
# reports its exit code (the run status) and run time.
cat > "$demo/modem-test.bat" <<BAT
@echo off
reg add "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000" /v Model /d "Vantor VX-56i PCI Modem" /f >nul
"$(win "$root/build/x64/tools/uidriver/uidriver.exe")" session "$(win "$root/dist/x64/mdmprobe.exe")" /P:COM3 /T:$number /L:$(win "$demo/mdmprobe.log") --
BAT

echo "== Modem test, automatic mode: mdmprobe.exe /P:COM3 /T:$number /L:$(win "$demo/mdmprobe.log")"
status=$(run cmd /c "$(win "$demo/modem-test.bat")" | tr -d '\r' | grep '^exit code' || true)
echo
echo "== Its log ($demo/mdmprobe.log):"
cat "$demo/mdmprobe.log"
echo
echo
echo "== Run status: ${status:-the program did not end} (0 = all tests passed)"
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
