#!/usr/bin/env bash
# Installs what is missing, builds, and starts the utility against its
# built-in simulated reader/writer (a window beside the main window lists the
# cards to swipe). Options are passed on, for example --data-dir DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/configure.sh
cmake --build build -j"$(nproc)" --target msrw msrw-sim msrw-cli
exec build/msrw --simulate "$@"
