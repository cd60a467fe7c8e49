#!/usr/bin/env bash
# Installs what is missing, builds, and talks to the simulated reader/writer
# over a pseudo-terminal through the real serial code: finds the reader, then
# runs the demonstration script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target msrw-sim msrw-cli

coproc SIM { exec build/msrw-sim --auto-swipe 500; }
read -r pty <&"${SIM[0]}"
trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
echo "Simulated reader/writer on $pty"
build/msrw-cli --port 1="$pty" detect
build/msrw-cli --device "$pty" script examples/demo.script
