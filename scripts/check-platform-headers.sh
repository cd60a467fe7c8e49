#!/usr/bin/env bash
# What differs by system stays in its own files: fails, naming file and line,
# on any POSIX or Win32 system header included in src/ or app/ outside
# src/platform/ and outside a folder's posix/ or windows/ sub-folder (built
# only on that system). <csignal> counts: beyond std::signal it means
# sigaction and POSIX signals. tests/ and bench/ are not checked: the tests
# of whole programs over pseudo-terminals and the process helpers are
# Linux-only by nature, and their CMake files are not built for Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
system='(unistd|poll|fcntl|termios|signal|pty|util|dirent|dlfcn|pthread|spawn|netdb|grp|pwd|syslog|windows|winbase|windef|io|conio|direct|process|winsock|winsock2|ws2tcpip|mswsock|shlobj|setupapi|winreg)\.h|csignal|(sys|netinet|arpa|linux|asm)/[^>]*'
found=$(find src app \( -name '*.cpp' -o -name '*.h' \) \
            -not -path 'src/platform/*' -not -path '*/posix/*' -not -path '*/windows/*' |
        sort | xargs grep -nHE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($system)>" || true)
if [ -n "$found" ]; then
    printf '%s\n' "$found" | sed 's/$/  <- a system header: move the code behind src\/platform\//'
    exit 1
fi
echo "platform headers: only in the platform files"
