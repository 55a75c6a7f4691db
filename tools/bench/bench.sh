#!/bin/bash
# make bench: our setup.exe against an installer built with Debian's NSIS
# (makensis), the same payload, installed unattended under the same Wine.
#
# Payload (made here, in build/bench, never committed): 1000 files of 4 KB
# in 10 folders and one file of 20 MB, random bytes. Installers:
#   ours       setup.exe of dist/x64 with a script that copies the payload
#              from loose files beside it (the Setup API's file queue)
#   ours-nojournal  the same medium with setup.exe built without the
#              installation journal (build/x64-nojournal): the journal's cost
#   nsis       NSIS 3, amd64-unicode stub, payload stored (SetCompress off)
#   nsis-zlib  the same with NSIS's default compression (zlib)
# All run inside one Wine prefix (tools/wine/winetest, one wineserver), in
# rotating order, one warm-up round and BENCH_RUNS counted rounds (default
# 5); then each is started BENCH_WINDOW_RUNS times (default 3) interactively
# and timed until its first visible window. Then (BENCH_PARTS=0 skips it)
# the same for parts of the payload, and the Setup API's copy alone. Prints
# the medians, the ratios ours / nsis and the sizes, and at its end the three
# ratios of the speed goal. BENCH_TRACE=1 adds the breakdown of setup's time
# from a traced build (tools/bench/trace.sh).
set -eu
cd "$(dirname "$0")/../.."
root=$PWD
bench=$root/build/bench
runs=${BENCH_RUNS:-5}
window_runs=${BENCH_WINDOW_RUNS:-3}

if ! command -v makensis >/dev/null; then
    echo "Installing nsis (makensis) for the benchmark"
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends nsis
fi

payload=$bench/payload
if [ "$(find "$payload" -type f 2>/dev/null | wc -l)" != 1001 ]; then
    echo "== Payload: 10 x 100 files of 4 KB and one of 20 MB ($payload)"
    rm -rf "$payload" && mkdir -p "$payload"
    for d in $(seq -f '%02g' 0 9); do
        mkdir "$payload/dir$d"
        head -c $((100 * 4096)) /dev/urandom | split -b 4096 -a 2 -d - "$payload/dir$d/f${d}_"
    done
    head -c $((20 * 1024 * 1024)) /dev/urandom > "$payload/big.bin"
fi

# Our media: setup.exe, a script, the payload loose beside them. One source
# disk per folder (its path is the folder), so every file is found by name.
# our_medium FOLDER PARTS: PARTS is "big small" (the whole payload), "big",
# "small" or "none" (one registry value instead of files: start-up and end
# of a run alone).
our_medium() {
    local medium=$1 parts=$2 sections=""
    rm -rf "$medium" && mkdir -p "$medium"
    cp "$root/dist/x64/setup.exe" "$medium/"
    cp -al "$payload"/. "$medium/"
    [[ $parts == *big* ]] && sections="Big.Files"
    if [[ $parts == *small* ]]; then
        for d in $(seq -f '%02g' 0 9); do sections="${sections:+$sections, }Dir$d.Files"; done
    fi
    {
        printf '[Version]\r\nSignature="$Chicago$"\r\n\r\n[SourceDisksNames]\r\n'
        printf '1 = "Payload", setup.inf\r\n'
        for d in $(seq 0 9); do printf '%d = "Payload", setup.inf,, dir%02d\r\n' $((d + 2)) "$d"; done
        printf '\r\n[SourceDisksFiles]\r\nbig.bin = 1\r\n'
        for d in $(seq 0 9); do
            for f in "$payload"/dir$(printf %02d "$d")/*; do printf '%s = %d\r\n' "$(basename "$f")" $((d + 2)); done
        done
        printf '\r\n[DestinationDirs]\r\nDefaultDestDir = 24, %s\r\nBig.Files = 32768\r\n' "$(basename "$medium")"
        for d in $(seq -f '%02g' 0 9); do printf 'Dir%s.Files = 32768, dir%s\r\n' "$d" "$d"; done
        printf '\r\n[Install]\r\n\r\n[Products]\r\nPayload = Payload, Install.Payload,, 3, 0, Benchmark payload, 1.0\r\n'
        if [ -n "$sections" ]; then
            printf '\r\n[Install.Payload]\r\nCopyFiles = %s\r\n' "$sections"
        else
            printf '\r\n[Install.Payload]\r\nAddReg = Bench.Reg\r\n\r\n[Bench.Reg]\r\nHKLM, Software\\BenchOurs, Run, 0, 1\r\n'
        fi
        printf '\r\n[Big.Files]\r\nbig.bin\r\n'
        for d in $(seq -f '%02g' 0 9); do
            printf '\r\n[Dir%s.Files]\r\n' "$d"
            for f in "$payload/dir$d"/*; do printf '%s\r\n' "$(basename "$f")"; done
        done
    } > "$medium/setup.inf"
    "$root/build/host/tools/setup-lint/setup-lint" "$medium/setup.inf" | tail -1
}

# The NSIS installers: directory page and progress page, no uninstaller.
# nsis_installer OUT PARTS [store]: PARTS as above.
nsis_installer() {
    local out=$1 parts=$2 store=${3:-} nsi=$bench/$(basename "$1" .exe).nsi
    {
        echo 'Unicode true'
        echo 'Target amd64-unicode'
        [ -n "$store" ] && echo 'SetCompress off'
        echo 'Name "Benchmark payload"'
        echo "OutFile \"$out\""
        echo "InstallDir \"\$PROGRAMFILES64\\$(basename "$out" .exe)\""
        echo 'RequestExecutionLevel admin'
        echo 'Page directory'
        echo 'Page instfiles'
        echo 'Section'
        if [[ $parts == *small* ]]; then
            for d in $(seq -f '%02g' 0 9); do
                echo "  SetOutPath \"\$INSTDIR\\dir$d\""
                echo "  File \"$payload/dir$d/*\""
            done
        fi
        if [[ $parts == *big* ]]; then
            echo '  SetOutPath "$INSTDIR"'
            echo "  File \"$payload/big.bin\""
        fi
        [ "$parts" = none ] && echo '  WriteRegStr HKLM "Software\BenchNsis" "Run" "1"'
        echo 'SectionEnd'
    } > "$nsi"
    makensis -V1 "$nsi"
}

our_medium "$bench/ours" "big small"
# The same medium with a setup.exe built without the installation journal:
# what the journal costs on the whole payload.
nojournal_build=$root/build/x64-nojournal
cmake -S . -B "$nojournal_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    -DHOST_BUILD_DIR="$root/build/host" -DDIST_DIR="$nojournal_build/dist" -DSETUP_JOURNAL=OFF >/dev/null
cmake --build "$nojournal_build" --target setup >/dev/null
rm -rf "$bench/ours-nojournal" && mkdir -p "$bench/ours-nojournal"
cp -al "$bench/ours"/. "$bench/ours-nojournal/"
rm "$bench/ours-nojournal/setup.exe"
cp "$nojournal_build/dist/setup.exe" "$bench/ours-nojournal/setup.exe"
nsis_installer "$bench/nsis-store.exe" "big small" store
nsis_installer "$bench/nsis-zlib.exe" "big small"

win() { echo "Z:$1" | tr / '\\'; }
# /debug:0: our setup prints nothing (without it, it reports on standard
# output that the script copies no setup.exe, so it writes no uninstall
# entry; the NSIS installers write no uninstaller either).
run_bench() {
    WINETEST_TIMEOUT=3600 "$root/tools/wine/winetest" run --root "$root/build/x64/wine" -- \
        "$root/build/x64/tools/bench/benchrun.exe" "$@"
}
echo "== $runs rounds, unattended, rotating order; then $window_runs interactive starts each"
run_bench "$runs" "$window_runs" \
    ours 1001 'C:\Program Files\ours' "$(win "$bench/ours/setup.exe") /quiet /debug:0" "$(win "$bench/ours/setup.exe")" \
    ours-nojournal 1001 'C:\Program Files\ours' "$(win "$bench/ours-nojournal/setup.exe") /quiet /debug:0" - \
    nsis 1001 'C:\Program Files\nsis-store' "$(win "$bench/nsis-store.exe") /S" "$(win "$bench/nsis-store.exe")" \
    nsis-zlib 1001 'C:\Program Files\nsis-zlib' "$(win "$bench/nsis-zlib.exe") /S" "$(win "$bench/nsis-zlib.exe")" |
    tee "$bench/results.txt"

# Where the time goes: the same comparison for parts of the payload (start-up
# and end alone, the 20 MB file alone, the 1000 small files alone), and the
# Setup API's file queue copying the small files without setup around it.
if [ "${BENCH_PARTS:-1}" = 1 ]; then
    echo
    echo "== Parts of the payload, $runs rounds"
    args=()
    for part in none big small; do
        case $part in none) files=0 ;; big) files=1 ;; small) files=1000 ;; esac
        our_medium "$bench/ours-$part" "$part" >/dev/null
        nsis_installer "$bench/nsis-$part.exe" "$part" store
        args+=(ours-$part "$files" "C:\\Program Files\\ours-$part"
               "$(win "$bench/ours-$part/setup.exe") /quiet /debug:0" -
               nsis-$part "$files" "C:\\Program Files\\nsis-$part" "$(win "$bench/nsis-$part.exe") /S" -)
    done
    # The Setup API's copy of the small files by itself (tools/bench/queuecopy.cpp).
    rm -rf "$bench/small-only" && mkdir -p "$bench/small-only" && cp -al "$payload"/dir* "$bench/small-only/"
    args+=(setupapi-small 1000 'C:\Program Files\setupapi-small'
           "$(win "$root/build/x64/tools/bench/queuecopy.exe") $(win "$bench/small-only") \"C:\Program Files\setupapi-small\"" -)
    run_bench "$runs" 0 "${args[@]}" | tee "$bench/parts.txt"
fi

median() {
    awk -v n="$1" -v what="$2" '$1 == "median" && $2 == n { for (i = 3; i <= NF; i++) if ($i == what) print $(i + 1) }' \
        "$bench/results.txt" "$bench/parts.txt" 2>/dev/null
}
size() { stat -c %s "$1"; }
echo
echo "== Figures"
printf 'install, median of %d:   ours %s ms, nsis %s ms, nsis-zlib %s ms\n' "$runs" \
    "$(median ours install)" "$(median nsis install)" "$(median nsis-zlib install)"
printf 'ratio ours / nsis:       %s\n' "$(awk -v a="$(median ours install)" -v b="$(median nsis install)" 'BEGIN { printf "%.2f", a / b }')"
printf 'ratio ours / nsis-zlib:  %s\n' "$(awk -v a="$(median ours install)" -v b="$(median nsis-zlib install)" 'BEGIN { printf "%.2f", a / b }')"
printf 'first window, median of %d: ours %s ms, nsis %s ms, nsis-zlib %s ms\n' "$window_runs" \
    "$(median ours window)" "$(median nsis window)" "$(median nsis-zlib window)"
if [ "${BENCH_PARTS:-1}" = 1 ]; then
    for part in none big small; do
        printf 'part %-6s median:     ours %s ms, nsis %s ms\n' "$part" "$(median ours-$part install)" "$(median nsis-$part install)"
    done
    printf 'the Setup API alone copying the small files (queuecopy): %s ms\n' "$(median setupapi-small install)"
fi
ours=$bench/ours
printf 'sizes: setup.exe %d bytes + setup.inf %d bytes (payload %d bytes loose beside them);\n' \
    "$(size "$ours/setup.exe")" "$(size "$ours/setup.inf")" "$(find "$payload" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')"
printf '       nsis-store.exe %d bytes, nsis-zlib.exe %d bytes (payload inside; stub %d bytes)\n' \
    "$(size "$bench/nsis-store.exe")" "$(size "$bench/nsis-zlib.exe")" \
    "$(size /usr/share/nsis/Stubs/zlib-amd64-unicode)"

# The three ratios of the goal: our small-files part against the Setup API's
# queue alone (at most 1.05), start and end against NSIS's (at most 1.2), the
# whole payload against NSIS stored (at most 1.0).
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0 && b > 0) printf "%.2f", a / b; else printf "-" }'; }
echo
echo "== Ratios (goal)"
if [ "${BENCH_PARTS:-1}" = 1 ]; then
    printf 'small files, ours / the Setup API alone (queuecopy): %s (<= 1.05)\n' \
        "$(ratio "$(median ours-small install)" "$(median setupapi-small install)")"
    printf 'start and end (part none), ours / nsis:             %s (<= 1.2)\n' \
        "$(ratio "$(median ours-none install)" "$(median nsis-none install)")"
fi
printf 'whole payload, ours / nsis stored:                   %s (<= 1.0)\n' \
    "$(ratio "$(median ours install)" "$(median nsis install)")"
printf 'whole payload, with the journal / without it:        %s (<= 1.05)\n' \
    "$(ratio "$(median ours install)" "$(median ours-nojournal install)")"

# Where setup's time goes, from a traced build (tools/bench/trace.sh).
if [ "${BENCH_TRACE:-0}" = 1 ] && [ "${BENCH_PARTS:-1}" = 1 ]; then
    echo
    tools/bench/trace.sh
fi
