#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
# Sanitized builds: stop at the first undefined behaviour, and ignore the system libraries'
# own process-wide allocations.
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
CMAKE_ARGS="-DORVANE_WERROR=ON ${CMAKE_ARGS:-}" ./tools/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
