#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: a
# plain build, and one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-install-deps.sh
jobs=$(nproc)
scripts/check-layers.sh

# A throw-away batch server for the tests that need one, stopped however the
# run ends. Open to the server's own user, which may not be this one.
pg_dir=$(mktemp -d)
chmod 755 "$pg_dir"
trap 'scripts/pg-test-cluster.sh stop "$pg_dir/cluster" || true; rm -rf "$pg_dir"' EXIT
MSRW_TEST_PG=$(scripts/pg-test-cluster.sh start "$pg_dir/cluster")
export MSRW_TEST_PG

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMSRW_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
scripts/check-readme-recipe.sh
scripts/check-readme-examples.sh

if [ "${MSRW_SKIP_SANITIZE:-0}" != 1 ]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMSRW_SANITIZE=ON -DMSRW_BENCH=OFF >/dev/null
    cmake --build build-asan -j"$jobs"
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
fi
