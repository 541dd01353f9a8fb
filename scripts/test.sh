#!/usr/bin/env bash
# Builds everything once under AddressSanitizer and UndefinedBehaviorSanitizer (the benchmarks are
# built, not run) and runs every test there: logic, windows offscreen, the command line, and the real
# program on a virtual display. Arguments go to CTest.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
postwick_install_missing
postwick_build_sanitized

# The tests see the same world on every machine: one locale, an empty home of their own, no desktop
# session's folders or display.
test_home="$(mktemp -d)"
trap 'rm -rf "$test_home"' EXIT
mkdir -m 700 "$test_home/run"
cd "$POSTWICK_SANITIZED_BUILD"
# CTest's summary of every test closes the run.
env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME \
  -u XDG_DOCUMENTS_DIR -u LANGUAGE -u LANG HOME="$test_home" XDG_RUNTIME_DIR="$test_home/run" LC_ALL=C.UTF-8 \
  ctest --output-on-failure -j"$(nproc)" "$@"
