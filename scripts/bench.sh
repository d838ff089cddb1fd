#!/usr/bin/env bash
# Throughput benchmarks; `make bench` runs them on the plain build.
#
#   1. The generator alone (bench/generator_bench): MB/s of the content stream; the checksum
#      fold; and, when the window is built, the utility's launch to first frame and idle CPU
#      (bench/window_bench, headless), and what a frame costs to draw at the factors the
#      desktop window shows it at (bench/frame_cost_bench).
#   2. Whole files: a 256 MiB file of random bytes, already in the page cache, through a plain cp
#      (the floor: it reads and writes the same bytes), tessella-cli and age. Each run of a
#      command follows a cp of its own, so that a busy shared machine loads both alike. Wall
#      time and processor time (user + system, all threads) as the fastest of five runs, the
#      median ratio of each to the cp just before it, and peak resident memory.
#   3. Peak memory and time for a 950 MB file, one run each.
#
# Usage: scripts/bench.sh [BUILD_DIR] [--quick | --no-large]
#   --quick: the window, the generator and the checksum only; --no-large: without the 950 MB file.
# Large files live in a temporary folder under /tmp and are removed on exit.
set -euo pipefail
build=${1:-build}
cli=$(realpath "$build/cli/tessella-cli")

# The window first: start-up times suffer from the write-back the file benches cause.
if [ -x "$build/bench/window_bench" ]; then
    DISPLAY='' WAYLAND_DISPLAY='' "$build/bench/window_bench" 2>/dev/null
fi
if [ -x "$build/bench/frame_cost_bench" ]; then
    DISPLAY='' WAYLAND_DISPLAY='' "$build/bench/frame_cost_bench" 2>/dev/null
fi
"$build/bench/generator_bench" 64
"$build/bench/checksum_bench" 256
[ "${2:-}" = "--quick" ] && exit 0

work=$(mktemp -d /tmp/tessella-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
printf 'bench pass 123\n' >"$work/password"
pw=(--password-file "$work/password")
have_age=0
if command -v age >/dev/null && command -v age-keygen >/dev/null; then
    have_age=1
    age-keygen -o "$work/age.key" 2>/dev/null
    recipient=$(age-keygen -y "$work/age.key")
fi

# measure OUTPUT COMMAND...: runs COMMAND once, then removes OUTPUT at once, so that its dirty
# pages are dropped rather than written back while the next command runs; sets ns, cpu_ms, kb.
measure() {
    local output=$1
    shift
    rm -f "$output"
    local t0 t1
    t0=$(date +%s%N)
    if ! /usr/bin/time -f '%M %U %S' -o "$work/rss" "$@" >/dev/null 2>"$work/stderr"; then
        echo "failed: $*" >&2
        cat "$work/stderr" >&2
        exit 1
    fi
    t1=$(date +%s%N)
    rm -f "$output"
    ns=$((t1 - t0))
    read -r kb user sys < <(tail -n 1 "$work/rss")
    cpu_ms=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')
}

# median NUMBERS...: the middle one.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# best RUNS LABEL OUTPUT COMMAND...: RUNS runs, each right after a cp of the same file, so that
# the command and its floor see the same load; prints the fastest run, the median of the
# ratios to the cp before it, and the peak memory.
best() {
    local runs=$1 label=$2
    shift 2
    local best_ns=0 best_cpu=0 best_kb=0 cp_ns cp_cpu
    local wall_ratios=() cpu_ratios=()
    for _ in $(seq "$runs"); do
        measure "$work/copy.bin" cp "$plain" "$work/copy.bin"
        cp_ns=$ns
        cp_cpu=$((cpu_ms > 0 ? cpu_ms : 10))
        rm -f "$work/copy.bin"
        measure "$@"
        if [ "$best_ns" -eq 0 ] || [ "$ns" -lt "$best_ns" ]; then
            best_ns=$ns
        fi
        if [ "$best_cpu" -eq 0 ] || [ "$cpu_ms" -lt "$best_cpu" ]; then
            best_cpu=$cpu_ms
        fi
        [ "$kb" -gt "$best_kb" ] && best_kb=$kb
        wall_ratios+=("$(awk -v a="$ns" -v b="$cp_ns" 'BEGIN { print a / b }')")
        cpu_ratios+=("$(awk -v a="$cpu_ms" -v b="$cp_cpu" 'BEGIN { print a / b }')")
    done
    awk -v l="$label" -v ns="$best_ns" -v r="$(median "${wall_ratios[@]}")" -v c="$best_cpu" \
        -v rc="$(median "${cpu_ratios[@]}")" -v kb="$best_kb" 'BEGIN {
        printf "| %-34s | %8.3f | %6.2f | %7.2f | %6.2f | %9.1f |\n",
            l, ns / 1e9, r, c / 1000, rc, kb / 1024 }'
}

table_head() {
    echo
    echo "$1"
    echo "(wall and cpu s: the fastest run; x cp: median of each run over the cp just before it)"
    echo "| command                            |   wall s |  x cp  |  cpu s  |  x cp  | peak MiB |"
    echo "|------------------------------------|---------:|-------:|--------:|-------:|---------:|"
}

# whole_file SIZE_BYTES RUNS: the table for one file size.
whole_file() {
    local size=$1 runs=$2
    plain="$work/plain.bin"
    head -c "$size" /dev/urandom >"$plain"
    sync
    table_head "$size bytes of random content, best of $runs"
    best "$runs" "cp" "$work/copy2.bin" cp "$plain" "$work/copy2.bin"
    best "$runs" "tessella-cli encrypt --no-check" "$work/plain.velx" \
        "$cli" encrypt --no-check "${pw[@]}" "$plain" "$work/plain.velx"
    "$cli" encrypt --no-check "${pw[@]}" "$plain" "$work/input.velx" 2>/dev/null
    sync
    best "$runs" "tessella-cli decrypt" "$work/back.bin" \
        "$cli" decrypt "${pw[@]}" "$work/input.velx" "$work/back.bin"
    best "$runs" "tessella-cli encrypt (with check)" "$work/plain.velx" \
        "$cli" encrypt "${pw[@]}" "$plain" "$work/plain.velx"
    "$cli" decrypt "${pw[@]}" "$work/input.velx" "$work/back.bin" 2>/dev/null
    cmp "$plain" "$work/back.bin"
    rm -f "$work/back.bin"
    if [ "$have_age" -eq 1 ]; then
        best "$runs" "age -r (encrypt)" "$work/plain.age" \
            age -r "$recipient" -o "$work/plain.age" "$plain"
        age -r "$recipient" -o "$work/input.age" "$plain"
        best "$runs" "age -d (decrypt)" "$work/back.bin" \
            age -d -i "$work/age.key" -o "$work/back.bin" "$work/input.age"
        rm -f "$work/input.age"
    fi
    rm -f "$plain" "$work/input.velx"
}

whole_file $((256 * 1024 * 1024)) 5
[ "${2:-}" = "--no-large" ] && exit 0
whole_file 950000000 1
