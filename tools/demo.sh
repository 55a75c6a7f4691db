#!/bin/bash
# The main job: the modem test in automatic mode against the simulated
# VX-56i of the sample definition file on COM3 (registered as an installed
# Windows modem, as its driver would be), unattended from start to end:
#   mdmprobe.exe /P:COM3 /T:<number> /L:<log>
# then its log and its run status; and the setup program starting and ending.
# Everything runs under Wine in a throw-away prefix, headless.
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
echo "== Setup program: setup.exe starts and ends"
run "$root/dist/x64/setup.exe" && echo "setup.exe ended with exit code $?"
