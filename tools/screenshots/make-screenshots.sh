#!/bin/bash
# Pictures of the programs' wizards, drawn by Wine into a virtual X server
# (Xvfb): build/screenshots/*.png and index.html, which shows each program
# state side by side in every look and language.
#
# Each program has one function below that saves its BMP pictures into
# $bmp (Windows path $winbmp), named <program>-<look>-<language>-<step>-<state>.bmp;
# add a program by adding a function and naming it in the list at the end.
# Arguments (optional): "--docs" first, to copy the pictures the README shows
# into docs/images/ (both programs are then taken); the programs to take,
# "mdmprobe" and/or "setup".
set -eu
docs=""
if [ "${1:-}" = --docs ]; then
    docs=yes
    shift
    set --
fi
cd "$(dirname "$0")/../.."
root=$PWD
out=$root/build/screenshots
bmp=$out/bmp
winbmp="Z:$(echo "$bmp" | tr / '\\')"
rm -rf "$out"
mkdir -p "$bmp"

# Wine takes the user's language from LANG only when the machine knows that
# locale: build the ones the pictures need into a private folder.
export LOCPATH=$out/locales
mkdir -p "$LOCPATH"
for locale in en_US de_DE fr_FR it_IT nl_NL es_ES; do
    localedef -i $locale -f UTF-8 "$LOCPATH/$locale.UTF-8" 2>/dev/null ||
        echo "no locale $locale: its pictures may show English system texts"
done
# The locale of a language tag (en, de, ...).
locale_of() {
    case $1 in en) echo en_US.UTF-8 ;; de) echo de_DE.UTF-8 ;; fr) echo fr_FR.UTF-8 ;;
               it) echo it_IT.UTF-8 ;; nl) echo nl_NL.UTF-8 ;; es) echo es_ES.UTF-8 ;; esac
}

# Runs a Windows program of the x64 build under Wine, drawing into Xvfb.
# $ports: COM port mappings for the modem simulator; $lang: a language tag.
run_drawn() {
    WINETEST_DISPLAY=xvfb WINETEST_TIMEOUT=180 WINETEST_PORTS="${ports:-}" \
        WINETEST_LANG="$(locale_of "${lang:-en}")" \
        "$root/tools/wine/winetest" run --root "$root/build/x64/wine" \
        --modemsim "$root/build/host/tools/modemsim/modemsim" -- "$@"
}

# The modem test: its real pages in both looks and six languages, against
# the simulated VX-56i. The German run has no installed Windows modem, so
# its verdict shows the failure.
mdmprobe_pictures() {
    local shots=$root/build/x64/tools/screenshots
    cp "$root/dist/x64/mdmprobe.ini" "$shots/mdmprobe_shots.ini"
    cp "$root/dist/x64/mdmprobe.dat" "$shots/mdmprobe_shots.dat"
    local ports="COM3=$root/tools/modemsim/profiles/vantor-vx.profile"
    local jobs=() look language installed
    for look in wizard97 classic; do
        for language in en de fr it nl es; do
            installed=installed
            [ "$language" = de ] && installed=not-installed
            ports=$ports lang=$language run_drawn "$shots/mdmprobe_shots.exe" $look $language $installed "$winbmp" \
                > "$bmp/mdmprobe-$look-$language.out" 2>&1 &
            jobs+=($!)
            # Two runs at a time.
            if [ ${#jobs[@]} -ge 2 ]; then wait "${jobs[0]}" || echo "failed: see $bmp/*.out"; jobs=("${jobs[@]:1}"); fi
        done
    done
    for job in "${jobs[@]}"; do wait "$job" || echo "failed: see $bmp/*.out"; done
}

# The setup program: its real pages in both looks and six languages, from
# the welcome page to the removal-finished page, on a kit of three products
# (one with a newer version installed, so its row is dimmed and warns).
setup_pictures() {
    local shots=$root/build/x64/tools/screenshots
    local winsetup="Z:$(echo "$root/dist/x64/setup.exe" | tr / '\\')"
    local jobs=() look language
    for look in wizard97 classic; do
        for language in en de fr it nl es; do
            lang=$language run_drawn "$shots/setup_shots.exe" "$winsetup" $look $language \
                "C:\\setup-kit" "$winbmp" > "$bmp/setup-$look-$language.out" 2>&1 &
            jobs+=($!)
            if [ ${#jobs[@]} -ge 2 ]; then wait "${jobs[0]}" || echo "failed: see $bmp/*.out"; jobs=("${jobs[@]:1}"); fi
        done
    done
    for job in "${jobs[@]}"; do wait "$job" || echo "failed: see $bmp/*.out"; done
}

# Both programs, or the ones named on the command line (mdmprobe, setup).
for program in ${*:-mdmprobe setup}; do
    "${program}_pictures"
done
python3 "$root/tools/screenshots/topng.py" "$bmp" "$out"

# The README's pictures: Wizard 97 look, English. The modem test's test page
# with its marks and verdict and its search page with the test call chosen;
# the setup wizard's component and finish pages.
if [ -n "$docs" ]; then
    images=$root/docs/images
    mkdir -p "$images"
    for pair in mdmprobe-test=mdmprobe-wizard97-en-*-verdict mdmprobe-search=mdmprobe-wizard97-en-*-connection-test \
                setup-components=setup-wizard97-en-*-components setup-finish=setup-wizard97-en-*-finish; do
        picture=$(ls "$out"/${pair#*=}.png 2>/dev/null | head -n 1)
        if [ -z "$picture" ]; then
            echo "no picture ${pair#*=}.png: docs/images/${pair%%=*}.png left as it was" >&2
            exit 1
        fi
        cp "$picture" "$images/${pair%%=*}.png"
        echo "docs/images/${pair%%=*}.png"
    done
fi
