#!/bin/bash
# The package manager's manifest that setup-lint --deploy --winget writes
# for a shipped medium: valid against the 1.10.0 schemas and stating the
# deployment's facts (winget-validate.py). The same check rejects copies
# with one broken field each, so it can fail; --winget refuses a medium
# whose version cannot be told.
# usage: winget-check.sh LINT MEDIUM-FOLDER SCHEMA-FOLDER VALIDATOR
set -u
lint=$(realpath "$1")
medium=$2
schemas=$(realpath "$3")
validate=$(realpath "$4")
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The medium and its zip as make dist packs them.
mkdir "$work/medium"
cp "$medium/setup.exe" "$medium/setup.inf" "$medium/mdmprobe.cab" "$work/medium/" || exit 2
(cd "$work/medium" && zip -q -X ../medium.zip setup.exe setup.inf mdmprobe.cab) || exit 2
sha=$(sha256sum "$work/medium.zip" | cut -c1-64)
id=Vantor.ModemTest
winget() {  # winget FOLDER MEDIUM [SHA]
    "$lint" --deploy "$2" --winget "$1" --id $id --url https://downloads.vantor.example/modem-tools.zip \
        --sha256 "${3:-$sha}"
}

out=$work/manifests
if ! listed=$(winget "$out" "$work/medium"); then
    fail "setup-lint --deploy --winget ended with $?"; echo "$listed"
fi
[ "$(printf '%s\n' "$listed" | xargs -n1 basename | sort | tr '\n' ' ')" = \
  "$id.installer.yaml $id.locale.en-US.yaml $id.yaml " ] || fail "the files written: $listed"
"$lint" --deploy "$work/medium" --format json > "$work/deploy.json" || fail "setup-lint --deploy ended with $?"
if "$validate" "$schemas" "$out" "$work/deploy.json"; then echo "ok   manifests"; else fail manifests; fi
# A hash of digits alone must stay a text too.
digits=$(printf '1234567890%.0s' {1..7} | cut -c1-64)
winget "$work/digits" "$work/medium" "$digits" > /dev/null || fail "--sha256 of digits: exit code $?"
if "$validate" "$schemas" "$work/digits"; then echo "ok   a hash of digits"; else fail "a hash of digits"; fi

# broken NAME FILE SED-SCRIPT: the check rejects a copy with FILE edited.
broken() {
    local copy=$work/$1
    cp -r "$out" "$copy"
    sed -i -e "$3" "$copy/$id.$2.yaml"
    if cmp -s "$out/$id.$2.yaml" "$copy/$id.$2.yaml"; then fail "$1: the edit changed nothing"; return; fi
    if "$validate" "$schemas" "$copy" "$work/deploy.json" > "$work/$1.out"; then
        fail "$1: accepted"; return
    fi
    echo "ok   $1 rejected: $(head -1 "$work/$1.out")"
}
broken version-as-number installer "s/^PackageVersion: .*/PackageVersion: 1.10/"
broken unknown-response installer "s/ReturnResponse: downgrade/ReturnResponse: downgraded/"
broken no-licence locale.en-US "/^License: /d"
broken other-architecture installer "s/^- Architecture: .*/- Architecture: arm64/"
broken return-code-missing installer "/InstallerReturnCode: 1638/,+1d"

# No manifest for a medium whose version cannot be told.
mkdir "$work/noversion" && cp "$work/medium/setup.exe" "$work/medium/mdmprobe.cab" "$work/noversion/"
tr -d '\r' < "$work/medium/setup.inf" | sed -e 's/^ProductVer = .*//; s/, @mdmprobe.exe$//' | sed 's/$/\r/' \
    > "$work/noversion/setup.inf"
winget "$work/refused" "$work/noversion" > /dev/null 2>&1; code=$?
{ [ "$code" = 1 ] && [ ! -e "$work/refused" ]; } && echo "ok   no version, no manifest" ||
    fail "a medium without a version: exit code $code, $(ls "$work/refused" 2>/dev/null)"

[ "$failures" = 0 ] || { echo "$failures case(s) failed"; exit 1; }
