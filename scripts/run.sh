#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program, registers it for quorvane:// links and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh -DTT_BUILD_TESTS=OFF
program="$(pwd)/${BUILD_DIR:-build}/src/app/tarvolintimer"

# The user's own desktop entry for this build, so that opening a quorvane:// link reaches it. Nothing here may
# stop the program from starting: the script says in one line what did not work.
bash scripts/register-url-handler.sh "$program" || true

exec "$program" "$@"
