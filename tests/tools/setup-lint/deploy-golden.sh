#!/bin/bash
# What setup-lint --deploy tells deployment tools about a shipped medium
# (text and JSON) against the golden files deploy-ARCH.txt and .json: any
# change shows as a difference (DEPLOY_GOLDEN_UPDATE=1 rewrites them after a
# deliberate change; read their diff before committing it), and the x64
# text shown in docs/deploy.md against its golden file. Then copies of
# the medium whose script a tool cannot detect: without an uninstall entry,
# and without a version; each is named and ends with exit code 1.
# usage: deploy-golden.sh LINT MEDIUM-FOLDER GOLDEN-FOLDER ARCH
set -u
lint=$(realpath "$1")
medium=$2
golden=$(realpath "$3")
arch=$4
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The medium as shipped (make dist packs these three files).
mkdir "$work/medium"
cp "$medium/setup.exe" "$medium/setup.inf" "$medium/mdmprobe.cab" "$work/medium/" || exit 2
cd "$work/medium" || exit 2

golden() {
    local name=deploy-$arch.$1; shift
    local output code
    output=$("$lint" --deploy . "$@"); code=$?
    if [ "${DEPLOY_GOLDEN_UPDATE:-}" = 1 ]; then
        printf '%s\n' "$output" > "$golden/$name"; echo "rewritten $name"; return
    fi
    if [ "$code" != 0 ]; then
        echo "FAIL $name: exit code $code"; failures=$((failures + 1)); return
    fi
    if ! diff -u "$golden/$name" <(printf '%s\n' "$output"); then
        echo "FAIL $name: differs from $golden/$name"; failures=$((failures + 1)); return
    fi
    echo "ok   $name"
}

# undetectable NAME EXPECTED-TEXT SED-SCRIPT: --deploy of a copy whose
# script is edited ends with 1 and says EXPECTED-TEXT under "What a tool
# cannot detect".
undetectable() {
    local name=$1 expected=$2 edit=$3 copy=$work/$1 output code
    mkdir "$copy" && cp setup.exe mdmprobe.cab "$copy/"
    tr -d '\r' < setup.inf | sed -e "$edit" | sed 's/$/\r/' > "$copy/setup.inf"
    output=$("$lint" --deploy "$copy"); code=$?
    if [ "$code" != 1 ]; then
        echo "FAIL $name: exit code $code, expected 1"; echo "$output"; failures=$((failures + 1)); return
    fi
    if ! sed -n '/^What a tool cannot detect$/,$p' <<< "$output" | grep -q -F -- "$expected"; then
        echo "FAIL $name: \"$expected\" is not among what a tool cannot detect"; echo "$output"
        failures=$((failures + 1)); return
    fi
    echo "ok   $name"
}

golden txt
golden json --format json
# docs/deploy.md shows the x64 text in the block after its marker.
docs=$(dirname "$golden")/../../../docs/deploy.md
if [ "$arch" = x64 ] && [ "${DEPLOY_GOLDEN_UPDATE:-}" != 1 ]; then
    if diff -u "$golden/deploy-x64.txt" <(awk '/^<!-- deploy-x64:/ { at = 1 } at && /^```/ { if (++fences == 2) exit; next }
                                                 fences == 1 && !/^\$ / { print }' "$docs"); then
        echo "ok   docs/deploy.md"
    else
        echo "FAIL docs/deploy.md: its block differs from deploy-x64.txt"; failures=$((failures + 1))
    fi
fi
if [ "$arch" = x64 ] && [ "${DEPLOY_GOLDEN_UPDATE:-}" != 1 ]; then
    undetectable no-uninstall-entry "setup.exe writes no uninstall entry: a tool cannot detect an installation" \
        's/^Uninstall = .*//; s/, Install.ModemTest, Remove.ModemTest,/, Install.ModemTest, ,/'
    undetectable no-version "the entry ModemTest gets no DisplayVersion" 's/^ProductVer = .*//; s/, @mdmprobe.exe$//'
fi
[ "$failures" = 0 ] || { echo "$failures case(s) failed"; exit 1; }
