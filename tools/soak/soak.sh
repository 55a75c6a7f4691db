#!/bin/bash
# make soak: the soak of both programs (see tools/soak/README.md).
#   SOAK_RUNS     runs per program (default 1000)
#   SOAK_JOBS     runs at once, each in its own Wine prefix (default 3)
#   SOAK_SEED     seed of the whole soak (default: drawn and printed)
#   SOAK_PROGRAM  mdmprobe, setup or both (default both)
#   SOAK_REPLAY   the seed of one run to run again alone (with SOAK_PROGRAM)
# Results in build/soak: <program>-soak.txt (the table) and the folders of
# failed runs (profile or script, log, transcript, Wine's output).
set -u
cd "$(dirname "$0")/../.."
root=$PWD
out=$root/build/soak
soak=$root/build/host/tools/soak/soak
common=(--out "$out" --winetest "$root/tools/wine/winetest" --wine-root "$root/build/x64/wine"
        --modemsim "$root/build/host/tools/modemsim/modemsim"
        --soakrun "$root/build/x64/tools/soak/soakrun.exe" --medium "$root/dist/x64"
        --modem "$root/tools/modemsim/profiles/vantor-vx.profile"
        --runs "${SOAK_RUNS:-1000}" --jobs "${SOAK_JOBS:-3}")
[ -n "${SOAK_SEED:-}" ] && common+=(--seed "$SOAK_SEED")
[ -n "${SOAK_REPLAY:-}" ] && common+=(--replay "$SOAK_REPLAY")
"$root/tools/wine/winetest" template --root "$root/build/x64/wine" >/dev/null || exit 1
status=0
programs=${SOAK_PROGRAM:-both}
[ "$programs" = both ] && programs="mdmprobe setup"
for program in $programs; do
    "$soak" "$program" "${common[@]}" || status=1
done
exit $status
