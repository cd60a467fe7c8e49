#!/usr/bin/env bash
# Once the packages are installed, setting up again must not touch apt (no
# network, no sudo): runs scripts/install-deps.sh with apt-get and sudo
# replaced by stand-ins that fail.
set -euo pipefail
cd "$(dirname "$0")/.."
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
for tool in apt-get sudo; do
    printf '#!/bin/sh\necho "install-deps.sh called %s $*" >&2\nexit 1\n' "$tool" >"$fake/$tool"
    chmod +x "$fake/$tool"
done
PATH="$fake:$PATH" scripts/install-deps.sh
echo "install-deps: nothing missing, apt left alone"
