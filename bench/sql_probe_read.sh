#!/usr/bin/env bash
# One gate read against a SQL source, whole programs each: tavrocheck --probe through ODBC, beside
# psql and isql (the same driver manager and driver) running the same query. Run by
# tests/testing/postgres_server.sh, which provides the server:
#   postgres_server.sh --seed tests/sources/postgres_seed.sql -- bash bench/sql_probe_read.sh BIN WORK RUNS
# BIN: the folder of tavrocheck and cpu_time; WORK: a folder for the configuration and the query.
# Prints one line: the probe's processor and wall milliseconds, the connections it opened, then
# psql's and isql's processor and wall milliseconds ("- -" for a client that is not installed).
set -euo pipefail
bin=$1 work=$2 runs=${3:-11}

query="select val from pd where tag='UNIT1.RUN' and ts between '2026-12-07 10:00:00' and '2026-12-07 10:15:00'"
echo "$query" >"$work/query.sql"
ini=$work/probe.ini
printf '[program]\nmod=mssql\n[mssql]\nhost=127.0.0.1\nuser=%s\npassword=%s\ndatabase=%s\ntable=pd\ntagcolumn=tag\ntimecolumn=ts\nvaluecolumn=val\ndriver=PostgreSQL Unicode\nodbc=Port=%s\n[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\n' \
  "$TAVRO_PG_USER" "$TAVRO_PG_PASSWORD" "$TAVRO_PG_DATABASE" "$TAVRO_PG_PORT" >"$ini"
chmod 600 "$ini"
probe=("$bin/tavrocheck" --ini "$ini" --now "2026-12-07 10:20:00" --probe UNIT1.RUN --at "2026-12-07 10:15:00" --minutes 15)

export PGPASSWORD=$TAVRO_PG_PASSWORD
psql_=(psql -X -At -h 127.0.0.1 -p "$TAVRO_PG_PORT" -U "$TAVRO_PG_USER" -d "$TAVRO_PG_DATABASE")
# In braces, a "}" of the password is doubled.
password=${TAVRO_PG_PASSWORD//\}/\}\}}
isql_=(isql -k "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$TAVRO_PG_PORT;Database=$TAVRO_PG_DATABASE;UID=$TAVRO_PG_USER;PWD={$password}" -b)

# The connections the probe opens: the server's count of sessions before and after it, less the
# one that asks afterwards.
connections=-
if command -v psql >/dev/null; then
  sessions() { "${psql_[@]}" -c "select sessions from pg_stat_database where datname = current_database()"; }
  before=$(sessions)
  "${probe[@]}" >/dev/null
  connections=$(($(sessions) - before - 1))
fi

commands=(-- "${probe[@]}")
command -v psql >/dev/null && commands+=(-- "${psql_[@]}" -c "$query")
command -v isql >/dev/null && commands+=(-- "${isql_[@]}" "<" "$work/query.sql")
mapfile -t figures < <("$bin/cpu_time" "$runs" "${commands[@]}")
read -r probe_cpu probe_wall <<<"${figures[0]}"
next=1
psql_figures="- -" isql_figures="- -"
if command -v psql >/dev/null; then psql_figures=${figures[next]}; next=$((next + 1)); fi
if command -v isql >/dev/null; then isql_figures=${figures[next]}; fi
echo "$probe_cpu $probe_wall $connections $psql_figures $isql_figures"
