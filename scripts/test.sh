#!/usr/bin/env bash
# Builds Postwick with its tests and benchmarks, runs the core tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then every test.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
postwick_install_missing
postwick_build
postwick_build_sanitized
ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
  "$POSTWICK_SANITIZED_BUILD/tests/core_tests" --gtest_brief=1
# CTest's summary of every test closes the run.
cd "$POSTWICK_BUILD"
ctest --output-on-failure -j"$(nproc)" "$@"
