#!/bin/bash
# setup-lint on the shipped installation medium (no findings) and on broken
# copies of it, one fault each: the fault is reported on its line with the
# expected exit code.
# usage: lint-test.sh LINT MEDIUM-FOLDER [clean-only]
set -u
lint=$1
medium=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
script=$medium/setup.inf

line_of() { grep -n -x -F -- "$1" <(tr -d '\r' < "$script") | head -1 | cut -d: -f1; }

# check NAME EXPECTED-EXIT EXPECTED-FINDING SED-SCRIPT [COMMAND-IN-THE-COPY]
# An empty EXPECTED-FINDING asks for a report without any finding; one that
# does not start with its line number may be on any line.
check() {
    local name=$1 code=$2 expected=$3 edit=$4 command=${5:-}
    local copy=$work/$name
    mkdir -p "$copy"
    cp "$medium/setup.exe" "$medium/mdmprobe.cab" "$copy/"
    tr -d '\r' < "$script" | sed -e "$edit" | sed 's/$/\r/' > "$copy/setup.inf"
    [ -z "$command" ] || (cd "$copy" && eval "$command")
    local output got
    output=$("$lint" "$copy/setup.inf"); got=$?
    if [ "$got" != "$code" ]; then
        echo "FAIL $name: exit code $got, expected $code"; echo "$output"; failures=$((failures + 1)); return
    fi
    if [ -z "$expected" ] && ! grep -q -x -F -- "$copy/setup.inf: 0 errors, 0 warnings" <<< "$output"; then
        echo "FAIL $name: findings where none were expected"; echo "$output"; failures=$((failures + 1)); return
    fi
    local pattern="$copy/setup.inf:$expected"
    [[ $expected =~ ^[0-9] ]] || pattern=": $expected"
    if [ -n "$expected" ] && ! grep -q -F -- "$pattern" <<< "$output"; then
        echo "FAIL $name: no line \"setup.inf:$expected\""; echo "$output"; failures=$((failures + 1)); return
    fi
    echo "ok   $name"
}

check clean 0 "" ""
[ "${3:-}" = clean-only ] && { [ "$failures" = 0 ]; exit; }

icons=$(line_of "MakeIcons = ModemTest.Icons")
product=$(line_of "[Products]"); product=$((product + 1))
logs=$(line_of 'CPRG, %MenuFolder%\%LogFolderName%, %32768%')
install=$(line_of "[Install]")
copy=$(line_of "CopyFiles = ModemTest.Files")
dat=$(line_of "mdmprobe.dat")

# Parsing as the Setup API does: quotes keep ";" and ",", substitution comes
# after the split into fields, a trailing backslash continues the line.
check quoted-string 0 "" 's/^TestName = .*/TestName = "Vantor; Modem, ""Test"""/'
check continued-line 1 "$copy: error: CopyFiles names [Extra.Files], which does not exist" \
    's/^CopyFiles = ModemTest.Files$/CopyFiles = ModemTest.Files, \\ ; more\n    Extra.Files/'
check undefined-string 0 "$logs: warning: %MenuFolder% is not defined in [Strings]" 's/^MenuFolder = .*//'
check unclosed-section 1 "$(line_of "[Strings]"): error: section name without its closing ']'" 's/^\[Strings\]$/[Strings/'

check missing-section 1 "$icons: error: MakeIcons names [ModemTest.Icon], which does not exist" \
    's/^MakeIcons = ModemTest.Icons$/MakeIcons = ModemTest.Icon/'
check no-install-section 1 "$product: error: product ModemTest has no install section" \
    's/, Install.ModemTest, Remove/, , Remove/'
check missing-exec-section 1 "$((install + 1)): error: Exec names [PostInstall], which does not exist" \
    '/^\[Install\]$/a Exec = PostInstall, @regedit.exe'
check missing-service-section 1 "error: AddService names [VxModem.Install], which does not exist" \
    '$a [Install.ModemTest.Services]\nAddService = VxModem, 0, VxModem.Install'
check file-not-in-cabinet 1 "$dat: error: mdmprobe.dat is neither on the medium (mdmprobe.dat) nor in mdmprobe.cab" \
    "" "mkdir x && gcab -x -C x mdmprobe.cab && rm mdmprobe.cab && gcab -c -z -n mdmprobe.cab x/mdmprobe.exe x/mdmprobe.ini"
check loose-file-missing 1 "$(line_of "setup.exe"): error: setup.exe is not on the medium (setup.exe)" "" "rm setup.exe"
check damaged-cabinet 1 "error: cabinet mdmprobe.cab: cabinet file list cut short" "" \
    "head -c 60 mdmprobe.cab > cut && mv cut mdmprobe.cab"
check unknown-disk 1 "$(line_of "mdmprobe.ini = 2"): error: disk \"3\" of mdmprobe.ini is not in [SourceDisksNames]" \
    's/^mdmprobe.ini = 2$/mdmprobe.ini = 3/'
check unknown-folder-code 1 "$logs: error: unknown folder code \"CPGR\"" 's/^CPRG, \(%MenuFolder%\\%LogFolderName%\)/CPGR, \1/'
check missing-plugin 1 "$((install + 1)): error: plug-in library \"modemcfg.dll\" is not beside setup.exe" \
    '/^\[Install\]$/a Plugins = modemcfg.dll:COM3'
check missing-condition-library 1 "error: condition library \"checks.dll\" is not beside setup.exe" \
    '/^\[Install\]$/a Conditions = NeedsNT
$a [NeedsNT]\nchecks.dll, IsWindowsNT'
check version-without-resource 1 \
    "$(line_of "ProductVer = @mdmprobe.exe"): error: \"@mdmprobe.ini\": mdmprobe.ini has no version resource" \
    's/^ProductVer = @mdmprobe.exe$/ProductVer = @mdmprobe.ini/'
check version-file-missing 1 "$product: error: mdmprobe.bin is not on the medium (mdmprobe.bin)" 's/, @mdmprobe.exe$/, @mdmprobe.bin/'
addreg=$(line_of "[ModemTest.AddReg]")
check delreg-with-addreg-flags 0 "$((addreg + 1)): warning: a DelReg line with the AddReg flags 0x00010001" \
    '/^\[ModemTest.AddReg\]$/a HKLM, "Software\\Vantor", Runs, 0x00010001, 1
s/^DelReg = ModemTest.DelReg$/DelReg = ModemTest.AddReg/'
check setup-not-installed 0 "$(line_of "Uninstall = ModemTest, %TestName%"): warning: no CopyFiles section" \
    's/^CopyFiles = Setup.Files$//'

# Command lines Windows parses: a service program with a blank in its path
# must be an installed file (or quoted); bare program names come from the
# system folder; the finish page's command for the next log-on fits 255.
services='$a [Install.ModemTest.Services]\nAddService = VxModem, 0, VxModem.Install\n[VxModem.Install]\nServiceType = 0x10\n'
check service-binary-installed 0 "" "$services"'ServiceBinary = %32768%\\mdmprobe.exe -service'
check service-binary-undecidable 1 "error: the program of ServiceBinary \"%32768%\\svc.exe -service\" cannot be told" \
    "$services"'ServiceBinary = %32768%\\svc.exe -service'
startapp=$(line_of 'StartApp = %TestName%, %32768%\mdmprobe.exe')
check startapp-bare-program 0 "$startapp: warning: StartApp names the program \"notepad.exe\" without a folder" \
    's/^StartApp = .*/StartApp = %TestName%, notepad.exe/'
check exec-bare-program 0 "$((install + 1)): warning: Exec names the program \"regedit.exe\" without a folder" \
    '/^\[Install\]$/a Exec = @regedit.exe'
check startapp-too-long 1 "$startapp: error: the StartApp command is 276 characters long" \
    "s|^StartApp = .*|StartApp = %TestName%, %32768%\\\\mdmprobe.exe, $(printf '/P:%.0s' {1..85})|"

[ "$failures" = 0 ] || { echo "$failures case(s) failed"; exit 1; }
