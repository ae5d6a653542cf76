#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, starts a throwaway
# PostgreSQL cluster and runs every test on SQLite and PostgreSQL.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build_dir="${BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen
run_tests=(ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600)
if [ -x scripts/pg-cluster.sh ]; then
  scripts/pg-cluster.sh run "${run_tests[@]}"
else
  "${run_tests[@]}"
fi
