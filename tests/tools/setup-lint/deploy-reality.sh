#!/bin/bash
# Tells the deployment facts of the shipped medium as JSON, then runs
# deploy_reality_test under Wine, which installs the medium for real,
# compares the uninstall entry with what setup-lint --deploy said and
# removes the product with the command it printed.
# usage: deploy-reality.sh LINT MEDIUM-FOLDER WINETEST WINE-ROOT TEST-PROGRAM
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
"$lint" --deploy "$work/medium" --format json > "$work/deploy.json" ||
    { echo "setup-lint --deploy cannot tell everything about the medium"; cat "$work/deploy.json"; exit 1; }
"$winetest" run --root "$root" -- "$program" "$work/medium" "$work/deploy.json"
