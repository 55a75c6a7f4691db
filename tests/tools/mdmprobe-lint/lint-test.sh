#!/bin/bash
# mdmprobe-lint on the shipped sample definition file (no findings) and on
# broken copies of it, one fault each: the fault is reported as an error on
# its line and the exit code is 1.
# usage: lint-test.sh LINT SAMPLE.ini
set -u
lint=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

line_of() { grep -n -x -F -- "$1" "$sample" | head -1 | cut -d: -f1; }

# check NAME EXPECTED-EXIT EXPECTED-LINE-OR-EMPTY SED-SCRIPT
check() {
    local name=$1 code=$2 expected=$3 script=$4
    local copy=$work/$name.ini
    sed -e "$script" "$sample" > "$copy"
    if cmp -s "$copy" "$sample" && [ "$name" != clean ]; then
        echo "FAIL $name: the edit changed nothing"; failures=$((failures + 1)); return
    fi
    local output
    output=$("$lint" "$copy"); local got=$?
    if [ "$got" != "$code" ]; then
        echo "FAIL $name: exit code $got, expected $code"; echo "$output"; failures=$((failures + 1)); return
    fi
    if [ -n "$expected" ] && ! grep -q -F -- "$copy:$expected" <<< "$output"; then
        echo "FAIL $name: no line \"$copy:$expected\""; echo "$output"; failures=$((failures + 1)); return
    fi
    echo "ok   $name"
}

tapi="ModemTapiName=Vantor VX-56i PCI Modem"
n79=$(printf 'N%.0s' $(seq 79)); n80=${n79}N

check clean 0 "" ""
check clean-79-characters 0 "" "s/^$tapi\$/ModemTapiName=$n79/"
check value-cut 1 "$(line_of "$tapi"): error: ModemTapiName has 80 characters" "s/^$tapi\$/ModemTapiName=$n80/"
check missing-fallback 1 \
    "$(line_of "[VX-56e]"): error: [VX-56e] has no DialAnswer and [Common] has no DefaultDialAnswer" \
    "s/^DefaultDialAnswer=.*/; removed/"
check missing-tapi-name 1 "$(line_of "[VX-56e]"): error: [VX-56e] has no ModemTapiName" \
    "s/^ModemTapiName=Vantor VX-56e.*/; removed/"
check alias-missing 1 "$(line_of "Alias=VX-56e"): error: Alias names [VX-56x], which does not exist" \
    "s/^Alias=VX-56e\$/Alias=VX-56x/"
check alias-to-alias 1 "$(line_of "Alias=VX-56e"): error: Alias names [VX-56e], which is an alias itself" \
    "s/^MinSpeed=26400\$/Alias=VX-56i/"
check not-a-number 1 "$(line_of "MinSpeed=26400"): error: MinSpeed \"26k4\" is not a decimal number" \
    "s/^MinSpeed=26400\$/MinSpeed=26k4/"
check diag-bad-key 1 "$(line_of "3-unit=String"): error: \"G-unit\" is not K-definition" \
    "s/^3-unit=String\$/G-unit=String/"
check diag-bad-kind 1 "$(line_of "3-unit=String"): error: \"3-units\": write K-definition or K-unit" \
    "s/^3-unit=String\$/3-units=String/"
check diag-bad-bit 1 "$(line_of "1-4=Remote loopback"): error: \"1-20\": a Bitmap key has bits 0 to 1F only" \
    "s/^1-4=Remote loopback\$/1-20=Remote loopback/"
check duplicate-section 1 "$(line_of "[VX-56e Rev.B]"): error: section [VX-56I] appears again (first at line $(line_of "[VX-56i]"))" \
    "s/^\[VX-56e Rev.B\]\$/[VX-56I]/"

[ "$failures" = 0 ] || { echo "$failures case(s) failed"; exit 1; }
