#!/bin/bash
# make bench: our setup.exe against an installer built with Debian's NSIS
# (makensis), the same payload, installed unattended under the same Wine.
#
# Payload (made here, in build/bench, never committed): 1000 files of 4 KB
# in 10 folders and one file of 20 MB, random bytes. Installers:
#   ours       setup.exe of dist/x64 with a script that copies the payload
#              from loose files beside it (the Setup API's file queue)
#   nsis       NSIS 3, amd64-unicode stub, payload stored (SetCompress off)
#   nsis-zlib  the same with NSIS's default compression (zlib)
# All run inside one Wine prefix (tools/wine/winetest, one wineserver), in
# rotating order, one warm-up round and BENCH_RUNS counted rounds (default
# 5); then each is started BENCH_WINDOW_RUNS times (default 3) interactively
# and timed until its first visible window. Prints the medians, the ratio ours / nsis and the sizes.
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

# Our medium: setup.exe, a script, the payload loose beside them. One source
# disk per folder (its path is the folder), so every file is found by name.
ours=$bench/ours
rm -rf "$ours" && mkdir -p "$ours"
cp "$root/dist/x64/setup.exe" "$ours/"
cp -r "$payload"/. "$ours/"
{
    printf '[Version]\r\nSignature="$Chicago$"\r\n\r\n[SourceDisksNames]\r\n'
    printf '1 = "Payload", setup.inf\r\n'
    for d in $(seq 0 9); do printf '%d = "Payload", setup.inf,, dir%02d\r\n' $((d + 2)) "$d"; done
    printf '\r\n[SourceDisksFiles]\r\nbig.bin = 1\r\n'
    for d in $(seq 0 9); do
        for f in "$payload"/dir$(printf %02d "$d")/*; do printf '%s = %d\r\n' "$(basename "$f")" $((d + 2)); done
    done
    printf '\r\n[DestinationDirs]\r\nDefaultDestDir = 24, BenchOurs\r\nBig.Files = 32768\r\n'
    for d in $(seq -f '%02g' 0 9); do printf 'Dir%s.Files = 32768, dir%s\r\n' "$d" "$d"; done
    printf '\r\n[Install]\r\n\r\n[Products]\r\nPayload = Payload, Install.Payload,, 3, 0, Benchmark payload, 1.0\r\n'
    printf '\r\n[Install.Payload]\r\nCopyFiles = Big.Files'
    for d in $(seq -f '%02g' 0 9); do printf ', Dir%s.Files' "$d"; done
    printf '\r\n\r\n[Big.Files]\r\nbig.bin\r\n'
    for d in $(seq -f '%02g' 0 9); do
        printf '\r\n[Dir%s.Files]\r\n' "$d"
        for f in "$payload/dir$d"/*; do printf '%s\r\n' "$(basename "$f")"; done
    done
} > "$ours/setup.inf"
"$root/build/host/tools/setup-lint/setup-lint" "$ours/setup.inf" | tail -1

# The NSIS installers: directory page and progress page, no uninstaller.
nsi=$bench/payload.nsi
{
    echo 'Unicode true'
    echo 'Target amd64-unicode'
    echo '!ifdef STORE'
    echo 'SetCompress off'
    echo '!endif'
    echo 'Name "Benchmark payload"'
    echo 'OutFile "${OUT}"'
    echo 'InstallDir "$PROGRAMFILES64\BenchNsis"'
    echo 'RequestExecutionLevel admin'
    echo 'Page directory'
    echo 'Page instfiles'
    echo 'Section'
    for d in $(seq -f '%02g' 0 9); do
        echo "  SetOutPath \"\$INSTDIR\\dir$d\""
        echo "  File \"$payload/dir$d/*\""
    done
    echo '  SetOutPath "$INSTDIR"'
    echo "  File \"$payload/big.bin\""
    echo 'SectionEnd'
} > "$nsi"
makensis -V1 -DSTORE "-DOUT=$bench/nsis-store.exe" "$nsi"
makensis -V1 "-DOUT=$bench/nsis-zlib.exe" "$nsi"

win() { echo "Z:$1" | tr / '\\'; }
echo "== $runs rounds, unattended, rotating order; then $window_runs interactive starts each"
WINETEST_TIMEOUT=3600 "$root/tools/wine/winetest" run --root "$root/build/x64/wine" -- \
    "$root/build/x64/tools/bench/benchrun.exe" "$runs" "$window_runs" 1001 \
    ours 'C:\Program Files\BenchOurs' "$(win "$ours/setup.exe") /quiet" "$(win "$ours/setup.exe")" \
    nsis 'C:\Program Files\BenchNsis' "$(win "$bench/nsis-store.exe") /S /D=C:\Program Files\BenchNsis" \
        "$(win "$bench/nsis-store.exe")" \
    nsis-zlib 'C:\Program Files\BenchNsisZ' "$(win "$bench/nsis-zlib.exe") /S /D=C:\Program Files\BenchNsisZ" \
        "$(win "$bench/nsis-zlib.exe")" | tee "$bench/results.txt"

median() { awk -v n="$1" -v what="$2" '$1 == "median" && $2 == n { for (i = 3; i <= NF; i++) if ($i == what) print $(i + 1) }' "$bench/results.txt"; }
size() { stat -c %s "$1"; }
echo
echo "== Figures"
printf 'install, median of %d:   ours %s ms, nsis %s ms, nsis-zlib %s ms\n' "$runs" \
    "$(median ours install)" "$(median nsis install)" "$(median nsis-zlib install)"
printf 'ratio ours / nsis:       %s\n' "$(awk -v a="$(median ours install)" -v b="$(median nsis install)" 'BEGIN { printf "%.2f", a / b }')"
printf 'ratio ours / nsis-zlib:  %s\n' "$(awk -v a="$(median ours install)" -v b="$(median nsis-zlib install)" 'BEGIN { printf "%.2f", a / b }')"
printf 'first window, median of %d: ours %s ms, nsis %s ms, nsis-zlib %s ms\n' "$window_runs" \
    "$(median ours window)" "$(median nsis window)" "$(median nsis-zlib window)"
printf 'sizes: setup.exe %d bytes + setup.inf %d bytes (payload %d bytes loose beside them);\n' \
    "$(size "$ours/setup.exe")" "$(size "$ours/setup.inf")" "$(find "$payload" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')"
printf '       nsis-store.exe %d bytes, nsis-zlib.exe %d bytes (payload inside; stub %d bytes)\n' \
    "$(size "$bench/nsis-store.exe")" "$(size "$bench/nsis-zlib.exe")" \
    "$(size /usr/share/nsis/Stubs/zlib-amd64-unicode)"
