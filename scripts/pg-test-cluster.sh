#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests against a real batch server.
#
#   scripts/pg-test-cluster.sh start DIR   initdb in DIR, start on a free local
#                                          port, print the connection text; a
#                                          cluster that DIR holds already (one
#                                          stopped) starts again on its port
#   scripts/pg-test-cluster.sh stop DIR    stop it (DIR is left for the caller)
#
# The server runs as an unprivileged user: the current one, or, for root (as
# in CI), the "postgres" system user that Debian's package creates. It listens
# on 127.0.0.1 and on a socket inside DIR. The role "msrw" (superuser, no
# password asked) owns the test databases; the role "msrw_locked" needs the
# password "msrw-locked-pw" over TCP, for the tests of passwords. The server
# does not wait for the disk (fsync=off) unless MSRW_PG_FSYNC=on: nothing in
# it outlives the run.
set -euo pipefail
bin=${MSRW_PG_BIN:-/usr/lib/postgresql/15/bin}
action=${1:-}
dir=${2:-}
if [ -z "$action" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# Starts the cluster of DIR on port $1; false when it does not start.
run_server() {
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 start \
        -o "-p $1 -k $dir/socket -c listen_addresses=127.0.0.1 -c hba_file=$dir/pg_hba.conf -c fsync=${MSRW_PG_FSYNC:-off}" \
        >/dev/null
}

connection_text() { echo "host=127.0.0.1 port=$1 dbname=postgres user=msrw"; }

start_again() {
    local port
    port=$(cat "$dir/port")
    if ! as_owner "$bin/pg_ctl" -D "$dir/data" status >/dev/null && ! run_server "$port"; then
        echo "The test cluster in $dir did not start again on port $port:" >&2
        cat "$dir/server.log" >&2 || true
        exit 1
    fi
    connection_text "$port"
}

start() {
    if [ -f "$dir/data/PG_VERSION" ] && [ -f "$dir/port" ]; then
        start_again
        return 0
    fi
    mkdir -p "$dir"
    [ "$(id -u)" -ne 0 ] || chown postgres: "$dir"
    if ! as_owner test -w "$dir"; then
        echo "The server's user cannot write in $dir (are its parent folders open to it?)" >&2
        exit 1
    fi
    as_owner "$bin/initdb" -D "$dir/data" -U msrw --auth=trust -E UTF8 --locale=C.UTF-8 \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    as_owner mkdir -p "$dir/socket"
    cat >"$dir/pg_hba.conf" <<'HBA'
local all all                   trust
host  all msrw_locked 127.0.0.1/32 scram-sha-256
host  all all         127.0.0.1/32 trust
HBA
    [ "$(id -u)" -ne 0 ] || chown postgres: "$dir/pg_hba.conf"
    local port tries
    for tries in 1 2 3 4 5 6 7 8; do
        port=$((20000 + RANDOM % 30000))
        port_in_use "$port" && continue
        if run_server "$port"; then
            echo "$port" >"$dir/port"
            as_owner "$bin/psql" -h "$dir/socket" -p "$port" -U msrw -d postgres -q \
                -c "CREATE ROLE msrw_locked LOGIN PASSWORD 'msrw-locked-pw'" >/dev/null
            connection_text "$port"
            return 0
        fi
    done
    echo "The test cluster in $dir did not start:" >&2
    cat "$dir/server.log" >&2 || true
    exit 1
}

stop() {
    [ -f "$dir/data/postmaster.pid" ] || return 0
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
}

case "$action" in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
