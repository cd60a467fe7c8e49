#!/usr/bin/env bash
# Configures build/, the tree of the programs, the one way that run.sh and
# test.sh share: a tree configured by one is not rebuilt from scratch by the
# other for want of the same flags.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMSRW_WERROR=ON >/dev/null
