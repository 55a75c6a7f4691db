#!/bin/bash
# make bench BENCH_TRACE=1 (or this script after make bench): where setup's
# time goes. Builds setup.exe with SETUP_BENCH_TRACE=ON (build/x64-trace),
# runs it on three of make bench's media (start and end only, the 1000 small
# files, the whole payload), one warm-up and BENCH_RUNS rounds each, and
# prints per medium the median time of every traced point since the process
# was created, the step from the point before, the file-queue callback's
# calls and time, the process's CPU time, and the end: from the last point
# (main returns) until the process has ended, as benchrun saw it.
#
# BENCH_TRACE_BASELINE=path/to/setup.exe (a traced build of another
# version) runs that one too, in the same rounds (rotating order), so that
# two versions are compared under the same load of the machine.
# BENCH_TRACE_MEDIA chooses the media (default "ours-none ours-small ours");
# "shipped" is the product's own medium of dist/x64 (the modem test in its
# cabinet, versions read from it, shortcuts, an uninstall entry) without
# its StartApp line, so that the run does not start the modem test.
set -eu
cd "$(dirname "$0")/../.."
root=$PWD
bench=$root/build/bench
runs=${BENCH_RUNS:-5}
trace_build=$root/build/x64-trace
baseline=${BENCH_TRACE_BASELINE:-}

[ -f "$bench/ours-small/setup.inf" ] && [ -f "$bench/ours/setup.inf" ] ||
    { echo "trace: run make bench first (it makes the media in $bench)" >&2; exit 2; }
rm -rf "$bench/shipped" && mkdir -p "$bench/shipped"
cp "$root/dist/x64/setup.inf" "$root/dist/x64/mdmprobe.cab" "$bench/shipped/"
sed -i '/^StartApp[[:space:]]*=/d' "$bench/shipped/setup.inf"

cmake -S . -B "$trace_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    -DHOST_BUILD_DIR="$root/build/host" -DDIST_DIR="$trace_build/dist" -DSETUP_BENCH_TRACE=ON >/dev/null
cmake --build "$trace_build" --target setup >/dev/null

win() { echo "Z:$1" | tr / '\\'; }

# summary TIMES LOG NAME: the medians of installer NAME's rounds.
summary() {
    awk -v want="$3" '
        FNR == 1 { file++ }
        file == 1 && ($1 == "warm-up" || $1 == "round") && $3 == want { total[++n] = $5 }
        file == 2 && $1 == "run" { mine = index($0, "\\" want "\\setup.exe") > 0; if (mine) { block++; delete seen } }
        file == 2 && mine && block > 1 && $1 == "mark" {
            key = $3 (seen[$3]++ ? "#" seen[$3] : "")
            if (!(key in order)) { order[key] = ++keys; name[keys] = key }
            value[key, block] = $2
            if ($3 == "main-end") mainEnd[block] = $2
        }
        file == 2 && mine && block > 1 && $1 == "bucket" { calls[$2] = $3; bucket[$2, block] = $4; bucketNames[$2] = 1 }
        file == 2 && mine && block > 1 && $1 == "cpu" { cpu[block] = $2 + $3 }
        function median(values, count,    i, j, t) {
            for (i = 1; i <= count; i++) for (j = i + 1; j <= count; j++)
                if (values[j] < values[i]) { t = values[i]; values[i] = values[j]; values[j] = t }
            return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
        }
        END {
            previous = 0
            for (k = 1; k <= keys; k++) {
                count = 0; delete v
                for (b = 2; b <= block; b++) if ((name[k], b) in value) v[++count] = value[name[k], b]
                m = median(v, count)
                printf "  %9.1f  step %7.1f  %s\n", m, m - previous, name[k]
                previous = m
            }
            count = 0; delete v
            for (b = 2; b <= block; b++) if (b in mainEnd) v[++count] = total[b] - mainEnd[b]
            printf "  end: main returns to process gone %.1f ms; whole run (benchrun) ", median(v, count)
            count = 0; delete v
            for (b = 2; b <= block; b++) v[++count] = total[b]
            printf "%.1f ms\n", median(v, count)
            for (bn in bucketNames) {
                count = 0; delete v
                for (b = 2; b <= block; b++) v[++count] = bucket[bn, b]
                printf "  %s: %d calls, %.2f ms\n", bn, calls[bn], median(v, count)
            }
            count = 0; delete v
            for (b = 2; b <= block; b++) v[++count] = cpu[b]
            printf "  CPU time of the process (user + kernel): %.0f ms\n", median(v, count)
        }' "$1" "$2"
}

for medium in ${BENCH_TRACE_MEDIA:-ours-none ours-small ours}; do
    case $medium in ours-none) files=0 ;; ours-small) files=1000 ;; shipped) files=5 ;; *) files=1001 ;; esac
    target="C:\\Program Files\\$medium"
    [ "$medium" = shipped ] && target="C:\\Program Files\\Vantor\\Modem Tools"
    # Both builds install into the medium's own target folder, one after
    # the other (benchrun empties it before every run).
    args=() names=()
    for build in trace ${baseline:+baseline}; do
        name=$build-$medium traced=$bench/$build-$medium
        exe=$trace_build/dist/setup.exe
        [ "$build" = baseline ] && exe=$baseline
        rm -rf "$traced" && mkdir -p "$traced"
        cp -al "$bench/$medium"/. "$traced/"
        rm -f "$traced/setup.exe" && cp "$exe" "$traced/setup.exe"
        args+=("$name" "$files" "$target" "$(win "$traced/setup.exe") /quiet /debug:0" -)
        names+=("$name")
    done
    log=$bench/trace-$medium.txt times=$bench/trace-$medium.times
    rm -f "$log"
    BENCH_TRACE_FILE=$(win "$log") WINETEST_TIMEOUT=3600 "$root/tools/wine/winetest" run --root "$root/build/x64/wine" -- \
        "$root/build/x64/tools/bench/benchrun.exe" "$runs" 0 "${args[@]}" >"$times"
    for name in "${names[@]}"; do
        echo "== $name: median of $runs traced runs (ms since the process was created; step = from the point before)"
        summary "$times" "$log" "$name"
    done
done
