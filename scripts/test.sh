#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: a
# plain build, and one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
scripts/check-layers.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMSRW_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
scripts/check-readme-recipe.sh

if [ "${MSRW_SKIP_SANITIZE:-0}" != 1 ]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMSRW_SANITIZE=ON -DMSRW_BENCH=OFF >/dev/null
    cmake --build build-asan -j"$jobs"
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
fi
