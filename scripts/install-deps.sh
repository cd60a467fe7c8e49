#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# apt is touched only when a package is not installed, so that a machine that
# has them all needs neither the network nor sudo.
#
#   scripts/install-deps.sh           install what is missing
#   scripts/install-deps.sh --check   only list what is missing (status 1 if any)
set -euo pipefail
# Real package names only: a virtual name (one that other packages merely
# provide) is never seen as installed, and would send every run to apt.
packages=(cmake g++ clang libclang-rt-14-dev make qt6-base-dev qt6-serialport-dev libgtest-dev
    libqt6sql6-psql libpq-dev postgresql)
# scripts/package.sh: the package's build (dpkg-buildflags, dpkg-shlibdeps)
# and Debian's checks of it.
packages+=(dpkg-dev lintian desktop-file-utils appstream)
# scripts/test-windows.sh: the Windows build and Wine to run its tests.
packages+=(g++-mingw-w64-x86-64-posix googletest wine64)
# Installed without what they recommend: the Windows tests are console
# programs, and Wine's recommended packages (graphics, sound, fonts, the
# 32-bit loader) would more than double the download on a bare machine.
lean=(wine64)

missing_packages() {
    local p
    for p in "${packages[@]}"; do
        [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || echo "$p"
    done
}

mapfile -t missing < <(missing_packages)
if [ "${1:-}" = --check ]; then
    [ ${#missing[@]} -eq 0 ] || { echo "Missing: ${missing[*]}"; exit 1; }
    exit 0
fi
[ ${#missing[@]} -gt 0 ] || exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
full=() without=()
for p in "${missing[@]}"; do
    if [[ " ${lean[*]} " == *" $p "* ]]; then without+=("$p"); else full+=("$p"); fi
done
install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$@" >/dev/null; }
[ ${#full[@]} -eq 0 ] || install "${full[@]}"
[ ${#without[@]} -eq 0 ] || install --no-install-recommends "${without[@]}"
# A name apt accepted but that still reads as missing would send the next run
# to apt again: say so now.
mapfile -t missing < <(missing_packages)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Still not installed after apt-get: ${missing[*]}" >&2
    exit 1
fi
