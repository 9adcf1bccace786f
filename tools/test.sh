#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs the whole test
# suite. It builds in a folder of its own (build-test/, or $TEST_BUILD_DIR, or $BUILD_DIR), so
# that it and play-demo.sh (build/) never rebuild each other's targets.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh
build=${TEST_BUILD_DIR:-${BUILD_DIR:-build-test}}
# Sanitized builds: stop at the first undefined behaviour, and ignore the system libraries'
# own process-wide allocations.
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
BUILD_DIR="$build" CMAKE_ARGS="-DORVANE_WERROR=ON ${CMAKE_ARGS:-}" ./tools/build.sh
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
