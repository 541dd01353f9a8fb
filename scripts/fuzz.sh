#!/usr/bin/env bash
# Builds the fuzz targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer and runs
# one of them for a given time, starting from its seeds in tests/fuzz/corpus/<target>/.
#   scripts/fuzz.sh TARGET [SECONDS]     e.g. scripts/fuzz.sh csv_import 1800
#   scripts/fuzz.sh all [SECONDS]        every target in turn, SECONDS each
#   scripts/fuzz.sh build                builds them all and runs none
# Targets: csv_import vcard_import contacts_file margin_settings label_positions contact_form.
# What a run finds (crash-*, leak-*, timeout-*) is left in build-fuzz/findings/<target>/.
# Needs clang 16 or later (std::expected with libstdc++ 12) and its libFuzzer runtime:
#   apt-get install clang-19 libclang-rt-19-dev
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ROOT}/build-fuzz"
TARGETS=(csv_import vcard_import contacts_file margin_settings label_positions contact_form)
CLANGXX="${CLANGXX:-$(command -v clang++-19 || command -v clang++-18 || command -v clang++-17 || command -v clang++-16 || true)}"
if [ -z "$CLANGXX" ]; then
  echo "The fuzz targets need clang 16 or later. Run as root: apt-get install -y clang-19 libclang-rt-19-dev" >&2
  exit 1
fi

what="${1:?usage: scripts/fuzz.sh TARGET|all|build [SECONDS]}"
seconds="${2:-60}"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$CLANGXX" \
  -DPOSTWICK_FUZZ=ON -DPOSTWICK_TESTS=OFF -DPOSTWICK_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
jobs="${FUZZ_BUILD_JOBS:-2}"

run_one() {
  local target="$1"
  cmake --build "$BUILD" -j"$jobs" --target "${target}_fuzz"
  local work="$BUILD/corpus/$target" findings="$BUILD/findings/$target"
  mkdir -p "$work" "$findings"
  # The fuzzed files go to memory when it can: every input is written and synced as a file.
  local tmp=/tmp
  [ -w /dev/shm ] && tmp=/dev/shm
  echo "== $target for ${seconds}s"
  TMPDIR="$tmp" ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$BUILD/tests/fuzz/${target}_fuzz" "$work" "$ROOT/tests/fuzz/corpus/$target" \
    -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1
}

case "$what" in
  build) cmake --build "$BUILD" -j"$jobs" --target "${TARGETS[@]/%/_fuzz}" ;;
  all) for t in "${TARGETS[@]}"; do run_one "$t"; done ;;
  *) run_one "$what" ;;
esac
