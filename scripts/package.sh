#!/usr/bin/env bash
# Builds the Debian package from a clean folder of its own (build-package/),
# then checks it as Debian would: lintian (no error), desktop-file-validate,
# appstreamcli validate; the manual pages and the completion against the
# programs' own --help; and the programs unpacked into a temporary root:
# msrw-cli --version, msrw-sim, and msrw-cli --device <its terminal> detect.
# Prints the package's path and each check's result; exits non-zero when one
# fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
out=build-package
rm -rf "$out"

# Debian's own compiler and linker flags (hardening included; its -O2 the
# optimisation; no -g, since the programs are stripped), and only the
# programs: no tests, no benchmarks.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1" | sed -E 's/(^| )-g( |$)/ /'; }
CXXFLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)"
LDFLAGS=$(flags LDFLAGS)
export CXXFLAGS LDFLAGS
! command -v ccache >/dev/null || export CMAKE_CXX_COMPILER_LAUNCHER=ccache
mkdir "$out"
log=$out/build.log
if ! { cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
    -DMSRW_TESTS=OFF -DMSRW_BENCH=OFF -DMSRW_REAL_PAUSE_TESTS=OFF &&
    cmake --build "$out" -j"$(nproc)" && (cd "$out" && cpack); } >"$log" 2>&1; then
    cat "$log" >&2
    echo "package: the build failed (above; $log)" >&2
    exit 1
fi
debs=("$out"/msrw_*.deb)
deb=${debs[0]}
echo "package: $deb"

failed=0
check() { # NAME COMMAND...: runs a check, prints its result, notes a failure
    local name=$1 log lines
    shift
    if log=$("$@" 2>&1); then
        echo "ok:     $name"
    else
        echo "FAILED: $name"
        failed=1
    fi
    mapfile -t lines <<<"$log"
    [ -z "$log" ] || printf '        %s\n' "${lines[@]}"
}

root=$(mktemp -d)
sim_pid=""
trap '[ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true; rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
share=$root/usr/share

# The remaining warnings are listed, each with its reason, in the README.
check "lintian" lintian --fail-on error "$deb"
check "desktop-file-validate" desktop-file-validate "$share"/applications/*.desktop
check "appstreamcli validate" appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml

# Every option a program's --help lists is in its manual page (and, for
# msrw-cli, in its completion), so that neither falls behind the program.
options_of() { "$@" --help | grep -oE -- '--[a-z0-9-]+' | sort -u; }
undocumented() { # PAGE-OR-FILE PROGRAM...: the program's options the text lacks
    local text=$1 option options missing=""
    shift
    if ! options=$(options_of "$@") || [ -z "$options" ]; then
        echo "no --help from $*"
        return 1
    fi
    for option in $options; do
        grep -qE -e "(^|[^a-z0-9-])$option([^a-z0-9-]|\$)" <<<"$text" || missing+=" $option"
    done
    [ -z "$missing" ] || { echo "not described:$missing"; return 1; }
}
page() { zcat "$share/man/man1/$1.1.gz" | sed 's/\\-/-/g'; }
# The window's program needs no display to answer --help or --version.
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$root/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
for program in msrw msrw-cli msrw-sim; do
    check "manual page of $program" undocumented "$(page "$program")" "$bin/$program"
done
check "completion of msrw-cli" \
    undocumented "$(cat "$share/bash-completion/completions/msrw-cli")" "$bin/msrw-cli"

check "unpacked msrw-cli --version" "$bin/msrw-cli" --version
check "unpacked msrw --version" "$bin/msrw" --version
sim_out=$root/sim.out
"$bin/msrw-sim" --no-stdin >"$sim_out" &
sim_pid=$!
pty=""
for _ in $(seq 100); do
    read -r pty <"$sim_out" && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
check "unpacked msrw-sim serves a terminal: ${pty:-none}" test -n "$pty"
check "unpacked msrw-cli --device ${pty:-none} detect" \
    "$bin/msrw-cli" --device "$pty" --data-dir "$root/data" detect
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" || true
sim_pid=""

if [ "$failed" != 0 ]; then
    echo "package $deb: some checks failed" >&2
    exit 1
fi
echo "package $deb: every check passed"
