#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# (ASAN_BUILD_DIR overrides) and runs them, the fuzz tests included, on SQLite and on a
# throwaway PostgreSQL cluster: each test program once, all its cases in one process (a
# sanitized process is slow to start and to end). Any sanitizer report fails its test. Leak
# checking stays on; leaks inside system libraries (ODBC drivers, Qt's one-time allocations)
# are suppressed by scripts/sanitizers/lsan.supp, never the system's own.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${ASAN_BUILD_DIR:-build-asan}"
# GCC warns of uninitialised values inside std::variant under the sanitizers where there are
# none: that warning is left to the plain build.
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -Wno-maybe-uninitialized"
# -O1 with line tables only: half the compile time of -O2 -g, and every report still names
# its lines.
opt="-O1 -g1 -DNDEBUG"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DIMAESTROS_DIRS= \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$opt" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$opt" \
  -DIMAESTROS_TEST_PER_EXECUTABLE=ON \
  -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_C_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
jobs="${JOBS:-$(nproc)}"
# The tests and what they run; the benchmarks are not run here.
cmake --build "$build_dir" -j "$jobs" --target tests/all

supp="$PWD/scripts/sanitizers"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp"
# The fuzz tests take more cases here than in the plain run.
export IMAESTROS_FUZZ_CASES="${IMAESTROS_FUZZ_CASES:-5000}"
JOBS="$jobs" source scripts/memory-tmp.sh
scripts/pg-cluster.sh run scripts/run-tests.sh --sanitize "$build_dir"
