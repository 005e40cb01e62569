#!/usr/bin/env bash
# A throw-away PostgreSQL server on 127.0.0.1 for one command: a fresh data folder, a free port, the
# given seed data; stopped and removed when the command ends, however it ends.
#
#   postgres_server.sh [--seed FILE.sql] -- COMMAND [ARG...]
#
# The command finds the server in its environment:
#   TAVRO_PG_PORT, TAVRO_PG_USER, TAVRO_PG_PASSWORD (password login over TCP), TAVRO_PG_DATABASE,
#   TAVRO_PG_CONTROL: a folder where the command may create a file "stop" or "start"; the server is
#   then stopped or started again and the file removed, so a test can wait for the file to go.
# Exit code: the command's, or 70 when the server could not be started.
set -uo pipefail

seeds=()
while (($#)); do
  case $1 in
    --seed) seeds+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) echo "postgres_server.sh: unknown argument $1" >&2; exit 64 ;;
  esac
done
(($#)) || { echo "postgres_server.sh: no command" >&2; exit 64; }

pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[[ -x "$pg_bin/pg_ctl" ]] || { echo "postgres_server.sh: PostgreSQL is not installed" >&2; exit 70; }

# PostgreSQL refuses to run as root: then the server runs as the postgres user of Debian's package.
as_server() {
  if ((EUID == 0)); then runuser -u postgres -- "$@"; else "$@"; fi
}

home=$(mktemp -d /tmp/tavro-pg.XXXXXX)
data=$home/data
control=$home/control
watcher=
((EUID == 0)) && chown postgres: "$home"
chmod 755 "$home"
mkdir -p "$control"
chmod 777 "$control"

export TAVRO_PG_USER=tavro TAVRO_PG_PASSWORD='Pg-Secret;7}' TAVRO_PG_DATABASE=plant TAVRO_PG_CONTROL=$control
port=

server() {  # pg_ctl start|stop
  case $1 in
    start) as_server "$pg_bin/pg_ctl" start -w -t 60 -D "$data" -l "$home/server.log" \
             -o "-p $port -c listen_addresses=127.0.0.1 -c unix_socket_directories=$home" >/dev/null ;;
    stop) as_server "$pg_bin/pg_ctl" stop -w -t 60 -m fast -D "$data" >/dev/null 2>&1 ;;
  esac
}

finish() {
  [[ -n "$watcher" ]] && kill "$watcher" 2>/dev/null && wait "$watcher" 2>/dev/null
  if [[ -f "$data/postmaster.pid" ]]; then
    as_server "$pg_bin/pg_ctl" stop -w -t 60 -m immediate -D "$data" >/dev/null 2>&1
  fi
  rm -rf "$home"
}
trap finish EXIT
trap 'exit 143' TERM INT HUP

printf '%s\n' "$TAVRO_PG_PASSWORD" >"$home/password"
chmod 644 "$home/password"
as_server "$pg_bin/initdb" -D "$data" -U "$TAVRO_PG_USER" --pwfile="$home/password" \
  --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$home/initdb.log" 2>&1 ||
  { cat "$home/initdb.log" >&2; exit 70; }

# A free port: the server itself tells, by failing to listen on a taken one.
for _ in $(seq 1 20); do
  port=$((20000 + RANDOM % 40000))
  server start && break
  port=
done
[[ -n "$port" ]] || { echo "postgres_server.sh: the server did not start" >&2; cat "$home/server.log" >&2; exit 70; }
export TAVRO_PG_PORT=$port

psql=("$pg_bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$home" -p "$port" -U "$TAVRO_PG_USER")
"${psql[@]}" -d postgres -c "create database $TAVRO_PG_DATABASE" >/dev/null || exit 70
for seed in "${seeds[@]}"; do
  "${psql[@]}" -d "$TAVRO_PG_DATABASE" -f "$seed" >/dev/null || exit 70
done

# Serves the command's stop and start requests while it runs.
(
  while true; do
    [[ -e "$control/stop" ]] && { server stop; rm -f "$control/stop"; }
    [[ -e "$control/start" ]] && { server start; rm -f "$control/start"; }
    sleep 0.1
  done
) &
watcher=$!

"$@"
