#!/usr/bin/env bash
# Builds Postwick and starts it.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
postwick_install_missing
postwick_build --target postwick
exec "$POSTWICK_BUILD/src/postwick" "$@"
