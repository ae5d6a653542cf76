#!/usr/bin/env bash
# Short runs of the benchmarks that check their results, not their speed (CI): each prints its
# figures and bounds but fails only on a wrong result. With IMAESTROS_PG_CONNSTR set (as
# `scripts/pg-cluster.sh run` sets it) their PostgreSQL phases run too.
#
#   bench-checks.sh [build folder]      (build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build}"
# 20,000 articles: the size at which a stamping that grew with the square of the rows failed.
"$build_dir/bench/sending_bench" --check --pg-articles 2000 20000 5
"$build_dir/bench/reception_bench" --check 300 2
