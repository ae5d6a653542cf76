#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, starts a throwaway
# PostgreSQL cluster and runs every test on SQLite and PostgreSQL, then the benchmarks'
# short result checks (scripts/bench-checks.sh) on a cluster of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build_dir="${BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen
run_tests=(ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600)
if [ -x scripts/pg-cluster.sh ]; then
  scripts/pg-cluster.sh run "${run_tests[@]}"
  scripts/pg-cluster.sh run scripts/bench-checks.sh "$build_dir"
else
  "${run_tests[@]}"
  scripts/bench-checks.sh "$build_dir"
fi
