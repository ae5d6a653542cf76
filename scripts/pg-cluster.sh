#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests.
#
#   pg-cluster.sh start <dir>     create and start a cluster in <dir>, print export lines
#   pg-cluster.sh stop <dir>      stop it
#   pg-cluster.sh run <cmd...>    start a cluster in a temporary folder, export its settings,
#                                 run <cmd>, stop the cluster (also when <cmd> fails) and exit
#                                 with <cmd>'s status
#
# Settings (environment): IMAESTROS_PG_PORT (default: the first free port from 54329),
# IMAESTROS_PG_BIN (folder of initdb/pg_ctl; found under /usr/lib/postgresql when unset).
# As root the server runs as the unprivileged system user imaestros-pg, created when missing.
# The tests read IMAESTROS_PG_CONNSTR (the ADO connection string), IMAESTROS_PG_TEMPLATE (the
# database each test process clones its own from, so that tests run in parallel) and
# IMAESTROS_PG_CTL (pg_ctl with the data folder, to stop and restart the server under a test).
set -euo pipefail

PG_USER_OS=imaestros-pg
PG_PORT="${IMAESTROS_PG_PORT:-54329}"
PG_PORT_FIXED="${IMAESTROS_PG_PORT:+yes}"
PG_DB=imaestros_test
PG_TEMPLATE=imaestros_template
PG_ROLE=imaestros
PG_PASSWORD=imaestros
SCRIPT_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SCHEMA_SQL="$SCRIPT_DIR/../schema/postgresql/00-setup.sql"

die() { echo "pg-cluster: $*" >&2; exit 1; }

find_bin() {
    if [[ -n "${IMAESTROS_PG_BIN:-}" && -x "$IMAESTROS_PG_BIN/pg_ctl" ]]; then
        echo "$IMAESTROS_PG_BIN"; return 0
    fi
    local dir
    for dir in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
        if [[ -x "$dir/initdb" && -x "$dir/pg_ctl" ]]; then echo "$dir"; return 0; fi
    done
    if command -v pg_ctl >/dev/null 2>&1 && command -v initdb >/dev/null 2>&1; then
        dirname "$(command -v pg_ctl)"; return 0
    fi
    return 1
}

# Runs a command as the cluster's owner (root hands it to the unprivileged user).
as_owner() {
    if [[ $(id -u) -eq 0 ]]; then
        runuser -u "$PG_USER_OS" -- "$@"
    else
        "$@"
    fi
}

port_in_use() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

ensure_os_user() {
    [[ $(id -u) -eq 0 ]] || return 0
    id "$PG_USER_OS" >/dev/null 2>&1 && return 0
    useradd --system --no-create-home --shell /usr/sbin/nologin "$PG_USER_OS" \
        || die "cannot create the system user $PG_USER_OS"
}

cmd_start() {
    local dir="${1:?usage: pg-cluster.sh start <dir>}"
    local bin; bin="$(find_bin)" || die "PostgreSQL server binaries (initdb, pg_ctl) not found"
    ensure_os_user
    mkdir -p "$dir"
    dir="$(cd "$dir" && pwd)"
    local data="$dir/data" sock="$dir/socket" pwfile="$dir/pwfile"
    [[ -e "$data" ]] && die "$data already exists; stop and remove it first"
    mkdir -p "$sock"
    printf '%s\n' "$PG_PASSWORD" >"$pwfile"
    if [[ $(id -u) -eq 0 ]]; then chown -R "$PG_USER_OS" "$dir"; fi
    chmod 700 "$dir"

    as_owner "$bin/initdb" -D "$data" -U "$PG_ROLE" --pwfile="$pwfile" -A scram-sha-256 \
        -E UTF8 --locale=C.UTF-8 --locale-provider=icu --icu-locale=und >"$dir/initdb.log" 2>&1 \
        || as_owner "$bin/initdb" -D "$data" -U "$PG_ROLE" --pwfile="$pwfile" -A scram-sha-256 \
            -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
        || die "initdb failed, see $dir/initdb.log"
    cat >>"$data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$sock'
fsync = off
synchronous_commit = off
full_page_writes = off
EOF
    # Another run may hold the port: take the next free one unless a port was asked for.
    local tries=0
    while :; do
        if ! port_in_use "$PG_PORT"; then
            echo "port = $PG_PORT" >>"$data/postgresql.conf"
            as_owner "$bin/pg_ctl" -D "$data" -l "$dir/server.log" -w -t 30 start >/dev/null && break
        fi
        tries=$((tries + 1))
        if [[ -n "$PG_PORT_FIXED" || $tries -ge 40 ]]; then
            die "the server did not start on port $PG_PORT, see $dir/server.log"
        fi
        PG_PORT=$((PG_PORT + 1))
    done

    export PGPASSWORD="$PG_PASSWORD"
    # The template that each test process clones a database of its own from, and the
    # database that the benchmarks and a person's own trials use.
    local db
    for db in "$PG_TEMPLATE" "$PG_DB"; do
        as_owner "$bin/psql" -h "$sock" -p "$PG_PORT" -U "$PG_ROLE" -d postgres -v ON_ERROR_STOP=1 -q \
            -c "CREATE DATABASE $db ENCODING 'UTF8' TEMPLATE template0" >/dev/null \
            || die "cannot create the database $db"
        as_owner "$bin/psql" -h "$sock" -p "$PG_PORT" -U "$PG_ROLE" -d "$db" -v ON_ERROR_STOP=1 -q \
            -f - <"$SCHEMA_SQL" >/dev/null || die "the PostgreSQL setup script failed on $db"
    done
    as_owner "$bin/psql" -h "$sock" -p "$PG_PORT" -U "$PG_ROLE" -d postgres -v ON_ERROR_STOP=1 -q \
        -c "ALTER DATABASE $PG_TEMPLATE IS_TEMPLATE true" >/dev/null || die "cannot mark $PG_TEMPLATE a template"

    echo "export IMAESTROS_PG_CONNSTR=\"Provider=PostgreSQL;Server=$sock;Port=$PG_PORT;Database=$PG_DB;UId=$PG_ROLE;Pwd=$PG_PASSWORD;\""
    echo "export IMAESTROS_PG_TEMPLATE=$PG_TEMPLATE"
    # Tests stop and restart the server with this command (as the cluster's owner).
    local ctl="$bin/pg_ctl -D $data -l $dir/server.log"
    if [[ $(id -u) -eq 0 ]]; then ctl="runuser -u $PG_USER_OS -- $ctl"; fi
    echo "export IMAESTROS_PG_CTL=\"$ctl\""
}

cmd_stop() {
    local dir="${1:?usage: pg-cluster.sh stop <dir>}"
    local bin; bin="$(find_bin)" || die "PostgreSQL server binaries not found"
    [[ -d "$dir/data" ]] || die "no cluster in $dir"
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
}

cmd_run() {
    [[ $# -gt 0 ]] || die "usage: pg-cluster.sh run <command...>"
    if ! find_bin >/dev/null; then
        echo "pg-cluster: PostgreSQL server binaries not found; PostgreSQL tests will be skipped" >&2
        unset IMAESTROS_PG_CONNSTR IMAESTROS_PG_TEMPLATE IMAESTROS_PG_CTL
        "$@"; return $?
    fi
    local dir; dir="$(mktemp -d "${TMPDIR:-/tmp}/imaestros-pg.XXXXXX")"
    chmod 755 "$dir"
    local exports
    if ! exports="$(cmd_start "$dir/cluster")"; then
        rm -rf "$dir"; die "cannot start the test cluster"
    fi
    eval "$exports"
    export IMAESTROS_PG_CONNSTR IMAESTROS_PG_TEMPLATE IMAESTROS_PG_CTL
    local status=0
    trap 'cmd_stop "$dir/cluster"; rm -rf "$dir"' EXIT
    "$@" || status=$?
    exit $status
}

case "${1:-}" in
    start) shift; cmd_start "$@" ;;
    stop) shift; cmd_stop "$@" ;;
    run) shift; cmd_run "$@" ;;
    *) echo "usage: pg-cluster.sh start <dir> | stop <dir> | run <command...>" >&2; exit 2 ;;
esac
