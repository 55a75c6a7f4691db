#!/bin/bash
# `make test` after the build: says once which isolation the Windows tests
# get, runs every test through ctest, lists every skipped test with its
# reason and fails on any failure and on every skip that is not a limit of
# the machine itself.
#
#   tools/run-tests.sh BUILD_DIR JOBS [CTEST_ARGS...]
#   (e.g. -R mdmprobe.serial to run some tests only)
#
# A skip's reason is the line GoogleTest prints after "Skipped". Reasons
# beginning with "this machine: " (a kernel that refuses bubblewrap its
# namespaces, as in containers and chroots) or "this Wine: " (a check of
# what Windows does that our Wine cannot show; the test checks it on
# Windows) are allowed; any other skip means a prerequisite that `make deps`
# installs is missing, or a test that skips where it should check, and
# fails the run.
set -u
build=${1:?build folder}
jobs=${2:-2}
shift 2 2>/dev/null || shift $#
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/wine/winetest" isolation

cd "$build" || exit 2
ctest --output-on-failure -j "$jobs" "$@"
status=$?

log=Testing/Temporary/LastTest.log
[ -f "$log" ] || { echo "run-tests: $build/$log is missing" >&2; exit 2; }

# One line per skipped case: "<test>|<reason>"; "<test>|FAILED" when a
# skipped program also failed a case (ctest would count it as skipped).
skips=$(awk '
    /^[0-9]+\/[0-9]+ Test: / { test = $3; next }
    /: Skipped$/ { want = 1; next }
    want { sub(/\r$/, ""); print test "|" $0; want = 0; next }
    /^\[  FAILED  \] [A-Za-z_]/ && !/tests?, listed below/ { failed[test] = 1 }
    /^\[  SKIPPED \] / { skipped[test] = 1 }
    END { for (t in skipped) if (t in failed) print t "|FAILED" }
' "$log")

if [ -n "$skips" ]; then
    echo
    echo "Skipped tests and their reasons:"
    bad=0
    while IFS='|' read -r test reason; do
        if [ "$reason" = FAILED ]; then
            echo "  $test: a case failed in a program that also skipped one"
            bad=1
        elif [[ $reason == "this machine: "* || $reason == "this Wine: "* ]]; then
            echo "  $test: $reason"
        else
            echo "  $test: $reason   <- not allowed: nothing but the machine or its Wine may skip a test"
            bad=1
        fi
    done <<<"$skips"
    [ $bad -eq 0 ] || status=1
fi
exit $status
