#!/usr/bin/env bash
# Runs the README's serial recipe exactly as it stands, from the root of a
# built tree. The window is started offscreen and must still be running
# after a few seconds (it then waits for the operator); every other line
# must succeed.
set -euo pipefail
cd "$(dirname "$0")/.."
recipe=$(awk '/<!-- serial recipe -->/{on=1; next} /<!-- end of serial recipe -->/{on=0} on' README.md |
    sed 's/^    //')
[ -n "$recipe" ] || { echo "README: no serial recipe found" >&2; exit 1; }
script=""
while IFS= read -r line; do
    case "$line" in
    "build/msrw "*)
        script+="QT_QPA_PLATFORM=offscreen timeout 4 ${line} || [ \$? -eq 124 ]"$'\n' ;;
    *) script+="${line}"$'\n' ;;
    esac
done <<<"$recipe"
# A data folder of the check's own: the user's settings change nothing.
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
XDG_DATA_HOME="$data/data" XDG_CONFIG_HOME="$data/config" timeout 120 bash -euo pipefail -c "$script"
echo "README serial recipe: ran as written"
