#!/usr/bin/env bash
# Builds everything, then runs every test: the native core and CLI tests (ASan/UBSan), the Windows
# tests under Wine in a private Xvfb screen (and once more on a 144-dpi screen), and each fuzz
# target: its seeds replayed, then a fixed number of inputs from a fixed seed, so that a finding
# never depends on how busy the machine is and always comes back with the same command.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${REKAL_BUILD:-$ROOT/build}
# Inputs per fuzz target, each roughly 10 to 30 s on the development machine. REKAL_FUZZ_RUNS, when
# set, replaces every count.
declare -A FUZZ_RUNS=([bmp]=200000 [book]=20000 [save]=12000 [vague]=40000 [fold]=60000 [examlog]=80000 [encoding]=100000
    [sentence]=80000 [png]=1000 [jpeg]=12000)

"$ROOT/scripts/build.sh" || { echo "build failed"; exit 1; }

passed=0
failed=0
status=0

# Adds the counts of one ctest run to the totals.
run_ctest() {
    local log
    log=$(mktemp)
    ctest --test-dir "$1" --output-on-failure "${@:2}" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -n "$line" ]; then
        local total bad
        bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
        total=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    fi
    [ "$rc" -eq 0 ] || status=1
    rm -f "$log"
}

echo "== native tests"
run_ctest "$BUILD/native" -j 2

echo "== Windows tests under Wine"
export REKAL_XVFB=1
# shellcheck source=/dev/null
source "$ROOT/scripts/wine-env.sh"
trap wine_env_stop EXIT
run_ctest "$BUILD/win" -j 1
wine_env_stop

# The same windows on a display scaled to 150 %: a fresh prefix at 144 dpi.
echo "== Windows tests under Wine at 144 dpi"
export REKAL_DPI=144
# shellcheck source=/dev/null
source "$ROOT/scripts/wine-env.sh"
run_ctest "$BUILD/win" -j 1 -R '\.ja_JP'
wine_env_stop
unset REKAL_DPI

if ls "$ROOT"/fuzz/*.cpp >/dev/null 2>&1; then
    echo "== fuzz targets: seeds, then a fixed number of inputs from seed 1"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DREKAL_FUZZ=ON >/dev/null && cmake --build "$BUILD/fuzz" -j "$(nproc)" >/dev/null || {
        echo "fuzz build failed"
        status=1
    }
    for src in "$ROOT"/fuzz/*.cpp; do
        name=$(basename "$src" .cpp)
        short=${name#fuzz_}
        exe="$BUILD/fuzz/fuzz/$name"
        [ -x "$exe" ] || { echo "$name: not built"; failed=$((failed + 1)); status=1; continue; }
        runs=${REKAL_FUZZ_RUNS:-${FUZZ_RUNS[$short]:-10000}}
        # A fresh folder for what this run adds: the seeds alone decide where it starts. The time
        # limit per input only catches hangs; it is far above any input's own time.
        corpus="$BUILD/fuzz/corpus-$name"
        rm -rf "$corpus"
        mkdir -p "$corpus"
        seeds=()
        [ -d "$ROOT/fuzz/corpus/$short" ] && seeds=("$ROOT/fuzz/corpus/$short")
        if "$exe" -seed=1 -runs="$runs" -timeout=60 -rss_limit_mb=2048 "$corpus" "${seeds[@]}" \
            >"$BUILD/fuzz/$name.log" 2>&1; then
            echo "$name: no finding in $runs inputs"
            passed=$((passed + 1))
        else
            echo "$name: FAILED (again: $exe -seed=1 -runs=$runs <empty folder> ${seeds[*]})"
            tail -n 40 "$BUILD/fuzz/$name.log"
            failed=$((failed + 1))
            status=1
        fi
    done
fi

echo "all: $passed passed, $failed failed"
exit $status
