#!/bin/bash
# Plans the shipped medium's installation (with the target directory a
# quiet installation under Wine uses) and its removal as JSON, then runs
# plan_reality_test under Wine, which installs and removes the medium for
# real and compares the outcome with the plans.
# usage: plan-reality.sh LINT MEDIUM-FOLDER WINETEST WINE-ROOT TEST-PROGRAM
set -u
lint=$1
medium=$2
winetest=$3
root=$4
program=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The medium as shipped: the three files make dist packs.
mkdir "$work/medium"
cp "$medium/setup.exe" "$medium/setup.inf" "$medium/mdmprobe.cab" "$work/medium/" || exit 2
medium=$work/medium
target='C:\Program Files\Vantor\Modem Tools'
"$lint" --plan "$medium" --target "$target" --format json > "$work/install.json" ||
    { echo "setup-lint found errors in the medium"; exit 1; }
"$lint" --plan "$medium" --remove ModemTest --target "$target" --format json > "$work/remove.json" ||
    { echo "setup-lint found errors in the medium"; exit 1; }
"$winetest" run --root "$root" -- "$program" "$medium" "$work/install.json" "$work/remove.json"
