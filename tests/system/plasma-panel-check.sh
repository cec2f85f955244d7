#!/usr/bin/env bash
# The real-panel test on KDE Plasma's system tray, run by hand: Plasma is some 350 packages, too many to
# install for every run of the test command, which checks GNOME Shell, XFCE and LXQt. This installs Plasma
# (only what is missing), builds the tests as scripts/test.sh does and runs the Plasma case: the time once
# in each display mode, a click opening the popover, the item back after the panel restarts. Screenshots go
# to build/tests/system/artifacts/plasma-*.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/deps.sh --tests
packages=(plasma-desktop plasma-workspace kwin-x11 breeze)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 -q -y install --no-install-recommends "${missing[@]}"
fi
bash scripts/build.sh -DTT_BUILD_TESTS=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
cd "${BUILD_DIR:-build}/tests/system"
TT_PLASMA_PANEL=1 ./system_RealPanelsTest --gtest_filter='*Plasma*'
