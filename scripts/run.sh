#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program, registers it for quorvane:// links and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh -DTT_BUILD_TESTS=OFF
program="$(pwd)/${BUILD_DIR:-build}/src/app/tarvolintimer"

# The user's own desktop entry for this build, so that opening a quorvane:// link reaches it. Nothing here may
# stop the program from starting.
register_url_handler() {
    local apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
    mkdir -p "$apps" || return 1
    sed "s|^Exec=.*|Exec=\"$program\" %u|" resources/desktop/tarvolintimer.desktop >"$apps/tarvolintimer.desktop" ||
        return 1
    command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database "$apps" >/dev/null 2>&1
    xdg-mime default tarvolintimer.desktop x-scheme-handler/quorvane
}
register_url_handler || echo "run.sh: could not register the quorvane:// handler; links will not open the program" >&2

exec "$program" "$@"
