#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, starts a throwaway
# PostgreSQL cluster and runs every test on SQLite and PostgreSQL, the PostgreSQL cases once
# more without a server, and the benchmarks' short result checks (scripts/run-tests.sh). The
# last line says PASSED or FAILED with the counts; the exit status is 1 on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build_dir="${BUILD_DIR:-build}"
source scripts/memory-tmp.sh
scripts/pg-cluster.sh run scripts/run-tests.sh "$build_dir"
