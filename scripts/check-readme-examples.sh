#!/usr/bin/env bash
# Runs the README's console examples (every block between the markers), in
# order, from the root of a built tree, as a newcomer would type them into
# one shell: each "$ " line is a command,
# the lines after it what it prints on standard output. Every command must
# print exactly that (trailing blanks aside) and end with status 0, or 1 when
# what it shows is a card that failed. The program's files go to a data
# folder of the check's own, so that the user's settings change nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk '/<!-- console examples -->/{on=1; next} /<!-- end of console examples -->/{on=0} on' README.md |
    sed -e 's/^    //' -e 's/[[:space:]]*$//' >"$work/block"
grep -q '^\$ ' "$work/block" || { echo "README: no console examples found" >&2; exit 1; }

# One file of commands and one of expected output a command.
n=0
script=""
while IFS= read -r line; do
    if [[ "$line" == '$ '* ]]; then
        n=$((n + 1))
        : >"$work/expected.$n"
        printf '%s\n' "${line#\$ }" >"$work/command.$n"
        script+="{ ${line#\$ }"$'\n'"} >\"\$__out/out.$n\" 2>\"\$__out/err.$n\" && echo 0 >\"\$__out/status.$n\" || echo \$? >\"\$__out/status.$n\""$'\n'
    elif [ "$n" -gt 0 ]; then
        printf '%s\n' "$line" >>"$work/expected.$n"
    fi
done <"$work/block"

export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
__out="$work" timeout 300 bash -uo pipefail -c "__out=\"$work\"; $script"

failed=0
for i in $(seq 1 "$n"); do
    status=$(cat "$work/status.$i" 2>/dev/null || echo "none")
    sed -e 's/[[:space:]]*$//' "$work/out.$i" >"$work/got.$i" 2>/dev/null || : >"$work/got.$i"
    if [ "$status" != 0 ] && [ "$status" != 1 ]; then
        echo "README example $i ended with status $status: $(cat "$work/command.$i")" >&2
        cat "$work/err.$i" >&2 || true
        failed=1
    elif ! diff -u "$work/expected.$i" "$work/got.$i" >"$work/diff.$i"; then
        echo "README example $i printed other lines than shown: $(cat "$work/command.$i")" >&2
        cat "$work/diff.$i" >&2
        failed=1
    fi
done
[ "$failed" -eq 0 ] || exit 1
echo "README console examples: $n commands printed what is shown"
