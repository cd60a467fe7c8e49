#!/usr/bin/env bash
# What differs by system stays in its own files: fails, naming file and line,
# on any POSIX or Win32 system header included in src/ or app/ outside
# src/platform/ and outside a folder's posix/ or windows/ sub-folder (built
# only on that system). tests/ and bench/ are not checked: the tests
# of whole programs over pseudo-terminals and the process helpers are
# Linux-only by nature, and their CMake files are not built for Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
# POSIX's own headers (scripts/posix-headers.txt: a folder as "name/"), then
# Win32's.
posix=$(grep -v '^#' scripts/posix-headers.txt | sed -e 's/\./\\./g' -e 's|/$|/[^>]*|' | paste -sd'|')
win32='(windows|winbase|windef|io|conio|direct|process|winsock|winsock2|ws2tcpip|mswsock|shlobj|setupapi|winreg)\.h'
system="$posix|$win32"
found=$(find src app \( -name '*.cpp' -o -name '*.h' \) \
            -not -path 'src/platform/*' -not -path '*/posix/*' -not -path '*/windows/*' |
        sort | xargs grep -nHE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($system)>" || true)
if [ -n "$found" ]; then
    printf '%s\n' "$found" | sed 's/$/  <- a system header: move the code behind src\/platform\//'
    exit 1
fi
echo "platform headers: only in the platform files"
