#!/usr/bin/env bash
# Builds Postwick with its tests and benchmarks and runs every test.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
postwick_install_missing
postwick_build
cd "$POSTWICK_BUILD"
ctest --output-on-failure -j"$(nproc)" "$@"
