#!/usr/bin/env bash
# Installs what Postwick needs to build, test and run on Debian 12, and configures the build.
# Sourced by run.sh and test.sh.
set -euo pipefail

POSTWICK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
POSTWICK_BUILD="${POSTWICK_ROOT}/build"
POSTWICK_SANITIZED_BUILD="${POSTWICK_ROOT}/build-sanitized"

# Build: g++, cmake, ninja. Windows and printing: Qt 6. Tests: GoogleTest, poppler-utils (where text
# lands on a PDF page), the stand-in fonts for the layouts' Windows fonts, Xvfb for a real window
# without a display. Benchmarks: Google Benchmark. The program's icon: Qt's SVG support. The install
# test: the desktop's validators of launcher entries and software-centre descriptions. The import from
# an address-book server: two real CardDAV servers (Radicale, Xandikos) that its tests start on the
# loopback address, and openssl to make the certificate of their HTTPS server; QtKeychain for the
# desktop's keyring, which keeps a remembered server's password. The label-sheet templates: the A4 and
# Letter stocks people buy. ICU's headers: names in other scripts stored in Latin letters.
POSTWICK_PACKAGES=(g++ cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra xvfb xauth xdotool
  libqt6svg6 desktop-file-utils appstream radicale xandikos openssl qtkeychain-qt6-dev glabels-data
  libicu-dev)

postwick_install_missing() {
  local missing=()
  for p in "${POSTWICK_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Postwick needs these packages. Run as root:" >&2
    echo "  apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

postwick_build() {
  cmake -S "$POSTWICK_ROOT" -B "$POSTWICK_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$POSTWICK_BUILD" "$@"
}

# The test build: every target (core, windows, command line, tests, benchmarks) under AddressSanitizer
# and UndefinedBehaviorSanitizer, in a tree of its own. Optimised lightly (-O1) so that the sanitizers'
# build stays quick, with line tables for readable reports and with assertions on.
postwick_build_sanitized() {
  postwick_sanitizer_options
  cmake -S "$POSTWICK_ROOT" -B "$POSTWICK_SANITIZED_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DPOSTWICK_SANITIZE=ON >/dev/null
  cmake --build "$POSTWICK_SANITIZED_BUILD" "$@"
}

# Any report fails: a leak, a memory error, undefined behaviour. Let through are only the reports
# from system code named in tests/sanitizers/ (UndefinedBehaviorSanitizer applies its suppressions
# to recoverable checks only, hence halt_on_error rather than -fno-sanitize-recover). Exported,
# because the build itself runs sanitized programs (the document builder, the tests' discovery).
postwick_sanitizer_options() {
  export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=0"
  export LSAN_OPTIONS="suppressions=$POSTWICK_ROOT/tests/sanitizers/leaks.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$POSTWICK_ROOT/tests/sanitizers/ubsan.supp"
}
