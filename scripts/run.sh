#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh -DTT_BUILD_TESTS=OFF
exec "${BUILD_DIR:-build}/src/app/tarvolintimer" "$@"
