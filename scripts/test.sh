#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: a
# plain build, and one with AddressSanitizer and UndefinedBehaviorSanitizer.
#
# The sanitizer run leaves out the tests labelled "real-pauses" (whole
# programs whose time goes in the operations' real pauses; they run in the
# plain build), and its tree is built while the plain suite runs, at a lower
# priority, in the time those pauses leave the processor idle. It is built
# with clang when clang++ is there (much quicker to compile), else with g++;
# with clang it also holds the fuzz targets, each of which then runs for a few
# seconds, so that a parser's fuzz target keeps building and its first
# findings show here.
#
# Then the part that needs no Qt is built for Windows and tested under Wine,
# and the Debian package is built and checked from a folder of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-install-deps.sh
jobs=$(nproc)
sanitize=$([ "${MSRW_SKIP_SANITIZE:-0}" = 1 ] && echo 0 || echo 1)
scripts/check-layers.sh
scripts/check-platform-headers.sh

# A throw-away batch server for the tests that need one, stopped however the
# run ends. Open to the server's own user, which may not be this one.
pg_dir=$(mktemp -d)
chmod 755 "$pg_dir"
asan_build=""
trap '[ -z "$asan_build" ] || kill -- -"$asan_build" 2>/dev/null || true
      scripts/pg-test-cluster.sh stop "$pg_dir/cluster" || true; rm -rf "$pg_dir"' EXIT
MSRW_TEST_PG=$(scripts/pg-test-cluster.sh start "$pg_dir/cluster")
export MSRW_TEST_PG

scripts/configure.sh
cmake --build build -j"$jobs"

# The fuzz targets need clang: on when the tree was made with it.
fuzz_in_asan_tree() {
    grep -q '^CMAKE_CXX_COMPILER:.*clang' build-asan/CMakeCache.txt && echo ON || echo OFF
}
# Each fuzz target of the sanitizer tree for a few seconds, from nothing.
run_fuzz_targets() {
    local target corpus
    for target in build-asan/fuzz/fuzz_*; do
        [ -f "$target" ] && [ -x "$target" ] || continue
        corpus=$(mktemp -d)
        if ! "$target" -max_total_time=5 "$corpus" >"$pg_dir/fuzz.log" 2>&1; then
            cat "$pg_dir/fuzz.log" >&2
            echo "fuzz: ${target##*/} failed" >&2
            exit 1
        fi
        echo "fuzz: ${target##*/}: $(grep -E '^Done [0-9]+ runs' "$pg_dir/fuzz.log")"
        rm -rf "$corpus"
    done
}
build_sanitized() {
    local cxx=g++
    ! command -v clang++ >/dev/null || cxx=clang++
    [ -f build-asan/CMakeCache.txt ] || CXX=$cxx cmake -S . -B build-asan >/dev/null
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMSRW_SANITIZE=ON -DMSRW_BENCH=OFF \
        -DMSRW_REAL_PAUSE_TESTS=OFF -DMSRW_FUZZ="$(fuzz_in_asan_tree)" >/dev/null
    nice -n 10 cmake --build build-asan -j"$jobs"
}
if [ "$sanitize" = 1 ]; then
    set -m # its own process group, which the trap stops if the run ends early
    build_sanitized >"$pg_dir/asan-build.log" 2>&1 &
    asan_build=$!
    set +m
fi

ctest --test-dir build --output-on-failure -j"$jobs"
scripts/check-readme-recipe.sh
scripts/check-readme-examples.sh

if [ "$sanitize" = 1 ]; then
    if ! wait "$asan_build"; then
        asan_build=""
        cat "$pg_dir/asan-build.log" >&2
        exit 1
    fi
    asan_build=""
    ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE real-pauses
    run_fuzz_targets
fi
scripts/test-windows.sh
scripts/package.sh
