#!/usr/bin/env bash
# Builds everything, then runs every test: the native core and CLI tests (ASan/UBSan), the Windows
# tests under Wine in a private Xvfb screen, and each fuzz target for a short while.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${REKAL_BUILD:-$ROOT/build}
FUZZ_SECONDS=${REKAL_FUZZ_SECONDS:-20}

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

if ls "$ROOT"/fuzz/*.cpp >/dev/null 2>&1; then
    echo "== fuzz targets, ${FUZZ_SECONDS} s each"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DREKAL_FUZZ=ON >/dev/null && cmake --build "$BUILD/fuzz" -j "$(nproc)" >/dev/null || {
        echo "fuzz build failed"
        status=1
    }
    for src in "$ROOT"/fuzz/*.cpp; do
        name=$(basename "$src" .cpp)
        exe="$BUILD/fuzz/fuzz/$name"
        [ -x "$exe" ] || { echo "$name: not built"; failed=$((failed + 1)); status=1; continue; }
        corpus="$BUILD/fuzz/corpus-$name"
        mkdir -p "$corpus"
        seeds=()
        [ -d "$ROOT/fuzz/corpus/${name#fuzz_}" ] && seeds=("$ROOT/fuzz/corpus/${name#fuzz_}")
        if "$exe" -seed=1 -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 "$corpus" "${seeds[@]}" \
            >"$BUILD/fuzz/$name.log" 2>&1; then
            echo "$name: no finding in ${FUZZ_SECONDS} s"
            passed=$((passed + 1))
        else
            echo "$name: FAILED"
            tail -n 40 "$BUILD/fuzz/$name.log"
            failed=$((failed + 1))
            status=1
        fi
    done
fi

echo "all: $passed passed, $failed failed"
exit $status
