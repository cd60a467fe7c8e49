#!/usr/bin/env bash
# Builds the part of the program that needs no Qt for Windows with MinGW-w64
# (windows/CMakeLists.txt, in build-windows/) and runs each of its test
# programs under Wine, checking the closing line GoogleTest prints
# ("[  PASSED  ] N tests."). Prints which files the Windows build leaves out
# and why. Fails on a build error, a failed test or a program that ends
# without that line.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tree=build-windows

# Every file the program writes has its own line ends (CR LF): a file opened
# in text mode would get a second CR before each LF on Windows.
text_mode=$(grep -rnE 'QIODevice::Text|QFile::Text' src app || true
    grep -rnE 'fopen\(|fstream' src app | grep -vE 'ios(_base)?::binary|fopen\([^,]*, *"[rwa]\+?b' || true)
if [ -n "$text_mode" ]; then
    printf '%s\n' "$text_mode" >&2
    echo "windows: a file opened in text mode (open it in binary mode)" >&2
    exit 1
fi

export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
command -v ccache >/dev/null || unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
cmake -S windows -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMSRW_WERROR=ON >/dev/null
cmake --build "$tree" -j"$(nproc)"

# wine64 alone (installed without its recommended packages) has no wrapper
# on the PATH: its loader sits in Wine's own folder.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
# A prefix of the tree's own, made on the first run; no window, no prompts
# to install the .NET and HTML engines, no debug chatter.
export WINEPREFIX=$root/$tree/wine-prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=""
# One Wine server for all the programs, stopped however the run ends.
mkdir -p "$WINEPREFIX"
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k 2>/dev/null || true' EXIT

sed 's/^/windows: /' "$tree/windows-files.txt" | grep '^windows: out' || true
failed=0
logs=$tree/wine-logs
mkdir -p "$logs"
while read -r program; do
    # Run from the source tree (a Unix path is drive Z: to Wine), so that
    # the tests find the same files as on Linux. The output goes to a file,
    # not a pipe: Wine's own background processes keep what they inherit
    # open, and a pipe would never end.
    log=$logs/$program.txt
    "$wine" "$tree/$program.exe" </dev/null >"$log" 2>&1 && status=0 || status=$?
    # Windows ends the lines with CR LF.
    closing=$(tr -d '\r' <"$log" | grep -E '^\[  PASSED  \] [0-9]+ tests?\.$' | tail -1 || true)
    if [ "$status" -ne 0 ] || [ -z "$closing" ] || grep -q '^\[  FAILED  \]' "$log"; then
        cat "$log" >&2
        echo "windows: $program.exe FAILED (status $status)" >&2
        failed=1
    else
        echo "windows: $program.exe $closing"
    fi
done <"$tree/windows-tests.txt"
exit "$failed"
