#!/usr/bin/env bash
# Runs the built tests and ends with one summary line; exits 1 when anything failed.
# scripts/test.sh and scripts/test-sanitize.sh call it inside `pg-cluster.sh run`, so that
# IMAESTROS_PG_CONNSTR names the throwaway cluster (without it the PostgreSQL cases skip).
#
#   run-tests.sh [--sanitize] <build folder>
#
# Plain: every test, then the PostgreSQL cases once more without a server (each must skip
# cleanly), then the benchmarks' short result checks (scripts/bench-checks.sh).
# --sanitize: every test program (the build registers one CTest test per program), with the fuzz
# tests' larger case count; nothing else.
set -uo pipefail
cd "$(dirname "$0")/.."
sanitize=no
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=yes
  shift
fi
build_dir="${1:?usage: run-tests.sh [--sanitize] <build folder>}"
export QT_QPA_PLATFORM=offscreen
jobs="${JOBS:-$(nproc)}"

logs="$(mktemp -d "${TMPDIR:-/tmp}/imaestros-logs.XXXXXX")"
trap 'rm -rf "$logs"' EXIT

timeout=600
[ "$sanitize" = yes ] && timeout=900
run_ctest() { # log, ctest arguments...
  local log="$1"
  shift
  ctest --test-dir "$build_dir" --output-on-failure -j "$jobs" --timeout "$timeout" "$@" 2>&1 | tee "$log"
  return "${PIPESTATUS[0]}"
}

# "P passed, F failed, S skipped" from a ctest log; ctest counts a skipped test as passed.
counts() {
  local line total failed skipped
  line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)"
  if [ -z "$line" ]; then
    echo "no result (ctest did not finish)"
    return
  fi
  total="${line##* out of }"
  failed="$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")"
  skipped="$(grep -cE '\((Skipped|Disabled)\)$' "$1")"
  echo "$((total - failed - skipped)) passed, $failed failed, $skipped skipped"
}

status=0
run_ctest "$logs/tests.log" || status=1
if [ "$sanitize" = yes ]; then
  summary="test programs under the sanitizers, every case of each: $(counts "$logs/tests.log")"
else
  summary="tests: $(counts "$logs/tests.log")"
fi

if [ "$sanitize" = no ]; then
  echo
  echo "== The PostgreSQL cases without a server: each must skip"
  (
    unset IMAESTROS_PG_CONNSTR IMAESTROS_PG_TEMPLATE IMAESTROS_PG_CTL
    run_ctest "$logs/no-server.log" -R PostgreSQL
  ) || status=1
  summary+="; without PostgreSQL: $(counts "$logs/no-server.log")"

  echo
  echo "== Benchmarks' result checks (speed bounds shown as information)"
  if scripts/bench-checks.sh "$build_dir"; then
    summary+="; benchmark checks: results right"
  else
    status=1
    summary+="; benchmark checks: FAILED"
  fi
fi

echo
if [ "$status" -eq 0 ]; then
  echo "PASSED - $summary"
else
  echo "FAILED - $summary (the output above shows each failure)"
fi
exit "$status"
