#!/usr/bin/env bash
# Measures one SQL Server gate read (connect, parameterised query, close) through ODBC on a
# throw-away PostgreSQL server on 127.0.0.1; the target is a median under 10 ms.
# Usage: bench/sql_gate_read.sh [build folder] [reads]   (default: build/linux, 500)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
exec bash tests/testing/postgres_server.sh --seed tests/sources/postgres_seed.sql -- \
  "$build/bin/gate_read_bench" "${2:-500}"
