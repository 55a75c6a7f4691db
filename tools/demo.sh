#!/bin/bash
# The main job from end to end, under Wine in one throw-away prefix, headless:
#   1. setup.exe /quiet from the installation medium dist/x64 installs the
#      modem test into a folder of the command line with blanks in its name
#      (/target:) and writes its installation log (/log:), which the demo
#      prints; at its end it starts the modem test ("Start ... now"), and
#      the demo closes that wizard as a user would; then it lists what the
#      installation made;
#   2. the installed modem test in automatic mode against the simulated
#      VX-56i on COM3 (registered as an installed Windows modem, as its
#      driver would be): mdmprobe.exe /P:COM3 /T:<number> /R:<report>, its
#      log (written beside the program), its result report (written to
#      build/demo/mdmprobe-report.json and checked against its schema) and
#      its run status;
#   3. the uninstall entry, and the removal with its QuietUninstallString,
#      which ends with 0: the installed setup.exe runs it from a copy in the
#      Windows folder's Temp, so nothing of the product waits for a restart;
#   4. what is left of the product: files, folders, shortcuts, uninstall
#      entry, registry values. The demo fails when anything is left;
#   5. the removal's copy, which waits for the next restart without asking
#      for one, and that restart (wineboot -r), after which it is gone;
#   6. the fleet summary of the modem test's report (mdmprobe-fleet), as a
#      support desk collecting many reports sees it; its page and CSV table
#      go to build/demo/fleet.html and fleet.csv.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
demo=$root/build/demo
mkdir -p "$demo"
win() { echo "Z:$(echo "$1" | tr / '\\')"; }
number=0305550100
report=$demo/mdmprobe-report.json
rm -f "$report" "$demo/install.log" "$demo/remove.log"
uidriver=$(win "$root/build/x64/tools/uidriver/uidriver.exe")
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ModemTest'
apppath='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\mdmprobe.exe'

cat > "$demo/cycle.bat" <<BAT
@echo off
setlocal
set TARGET=C:\\Program Files\\Vantor Modem Tools
set BASE=%TARGET%
set MENU=%ALLUSERSPROFILE%\\Microsoft\\Windows\\Start Menu\\Programs\\Vantor Modem Tools
echo == 1. Unattended installation from the medium: setup.exe /quiet "/target:%TARGET%" /log:...
"$uidriver" session "$(win "$root/dist/x64/setup.exe")" /quiet "/target:%TARGET%" /log:$(win "$demo/install.log") /debug:$(win "$demo/setup-install.log") --
rem Wine's cmd runs the right side of || whatever the left side returned.
"$uidriver" close 30
if errorlevel 1 (echo The modem test did not start at the end of the installation.) else (echo The installation started the modem test at its end: its wizard is closed.)
echo == Its installation log ($(win "$demo/install.log")):
type "$(win "$demo/install.log")"
echo == What the installation made
set COUNT=0
call :product installed
echo %COUNT% missing after the installation
echo.
echo == 2. The installed modem test, automatic mode: mdmprobe.exe /P:COM3 /T:$number /R:$(win "$report")
reg add "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000" /v Model /d "Vantor VX-56i PCI Modem" /f >nul
"$uidriver" session "%TARGET%\\mdmprobe.exe" /P:COM3 /T:$number /R:$(win "$report") --
echo.
echo == Its log (%TARGET%\\mdmprobe.log):
type "%TARGET%\\mdmprobe.log"
echo.
echo == Its result report ($(win "$report")):
type "$(win "$report")"
echo.
echo == 3. The uninstall entry
reg query "$uninstall"
for /f "tokens=2,*" %%a in ('reg query "$uninstall" /v QuietUninstallString ^| find "REG_SZ"') do set REMOVE=%%b
echo == Removal with its QuietUninstallString: %REMOVE%
"$uidriver" session %REMOVE% /log:$(win "$demo/remove.log") /debug:$(win "$demo/setup-remove.log") --
echo == Its installation log ($(win "$demo/remove.log")):
type "$(win "$demo/remove.log")"
echo.
echo == 4. What is left of the product
set COUNT=0
call :product left
echo %COUNT% left after the removal
echo.
echo == 5. The removal's copy, deleted at the next restart (wineboot -r carries out what waits for it)
dir /b /ad "%SystemRoot%\\Temp\\removal-*"
wineboot -r
dir /b /ad "%SystemRoot%\\Temp\\removal-*" >nul 2>&1
if errorlevel 1 (echo the removal's copy is gone after the restart) else (echo the removal's copy is left after the restart)
exit /b 0

rem Every file, folder, shortcut and key of the product; %1 is "installed"
rem (count what is missing) or "left" (count what is still there).
:product
for %%f in (setup.exe setup.inf mdmprobe.exe mdmprobe.ini mdmprobe.dat) do call :file %1 "%TARGET%\\%%f"
if "%1"=="left" call :file %1 "%TARGET%\\mdmprobe.log"
call :file %1 "%TARGET%"
call :file %1 "%BASE%"
call :file %1 "%MENU%\\Vantor Modem Test.lnk"
call :file %1 "%MENU%\\Modem Test Logs.lnk"
call :file %1 "%MENU%\\Remove Vantor Modem Test.lnk"
call :file %1 "%MENU%"
call :key %1 "$uninstall"
call :key %1 "$apppath"
goto :eof

:file
if exist "%~2" (call :there %1 "%~2") else (call :absent %1 "%~2")
goto :eof

:key
reg query "%~2" >nul 2>&1
if errorlevel 1 (call :absent %1 "%~2") else (call :there %1 "%~2")
goto :eof

:there
if "%1"=="left" (echo   left:    %~2& set /a COUNT+=1 >nul) else (echo   there:   %~2)
goto :eof

:absent
if "%1"=="left" (echo   gone:    %~2) else (echo   missing: %~2& set /a COUNT+=1 >nul)
goto :eof
BAT

start=$(date +%s)
WINETEST_TIMEOUT=300 WINETEST_PORTS="COM3=$root/tools/modemsim/profiles/vantor-vx.profile" \
    "$root/tools/wine/winetest" run --root "$root/build/x64/wine" \
    --modemsim "$root/build/host/tools/modemsim/modemsim" -- cmd /c "$(win "$demo/cycle.bat")" 2>&1 |
    tr -d '\r' | tee "$demo/cycle.log"
echo
echo "make demo: the cycle took $(( $(date +%s) - start )) s (debug logs of setup: $demo/setup-*.log)"
grep -q '^0 missing after the installation$' "$demo/cycle.log" ||
    { echo "make demo: the installation did not make everything"; exit 1; }
[ "$(grep -c '^exit code 0 after' "$demo/cycle.log")" -ge 3 ] ||
    { echo "make demo: the installation, the modem test or the removal failed (or the removal asked for a restart)"; exit 1; }
python3 "$root/tests/mdmprobe/app/check_report.py" "$root/mdmprobe/report.schema.json" "$report" >/dev/null ||
    { echo "make demo: the modem test's result report is missing or not valid: $report"; exit 1; }
grep -q '^0 left after the removal$' "$demo/cycle.log" ||
    { echo "make demo: something of the product is left"; exit 1; }
grep -Eq '^removal-[0-9a-f]{16}$' "$demo/cycle.log" ||
    { echo "make demo: the removal ran from no copy in the Windows folder's Temp"; exit 1; }
grep -q "^the removal's copy is gone after the restart$" "$demo/cycle.log" ||
    { echo "make demo: the removal's copy in the Windows folder's Temp is not deleted at the restart"; exit 1; }
echo
echo "== The support desk's view of that report: mdmprobe-fleet --html $demo/fleet.html $report"
"$root/build/host/tools/mdmprobe-fleet/mdmprobe-fleet" --csv "$demo/fleet.csv" --html "$demo/fleet.html" "$report" ||
    { echo "make demo: mdmprobe-fleet failed on the report"; exit 1; }
