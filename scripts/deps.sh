#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; only what is missing.
# Usage: scripts/deps.sh [--tests]
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
    # xdg-mime registers the quorvane:// handler.
    xdg-utils
    fonts-noto-core fonts-noto-cjk
    # Sound: without plugins-base the media player crashes as it is made; -good and -libav decode mp3,
    # m4a and aac; -pulseaudio reaches the desktop's sound server. The theme holds the system sounds.
    qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
    gstreamer1.0-pulseaudio sound-theme-freedesktop
    # Global hotkeys and the shell's window hints: xcb (XFixes tells of a compositor coming or going);
    # keymaps through xkbcommon (xkb-data holds the layouts).
    libxcb1-dev libxcb-xkb-dev libxcb-xfixes0-dev libxkbcommon-dev libxkbcommon-x11-dev xkb-data
)
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(libgtest-dev libgmock-dev googletest libbenchmark-dev clang libclang-rt-14-dev)
    # An independent JSON parser that checks what the program writes.
    packages+=(nlohmann-json3-dev)
    # The desktop tests start their own bus, display, sound server and notification server.
    packages+=(dbus xvfb pulseaudio pulseaudio-utils dunst)
    # gdbus announces desktop setting changes the way another program would.
    packages+=(libglib2.0-bin)
    # The openers xdg-open calls under each desktop, for the links the build's own desktop entry opens:
    # gio (above) for GNOME, exo-open for XFCE, kde-open5 for KDE.
    packages+=(exo-utils kde-cli-tools)
    # Time-zone rules for the tests that cross daylight-saving changes.
    packages+=(tzdata)
    # The panel item's tests: a real XEmbed tray, clicks, and a standalone item watcher and host.
    packages+=(trayer xdotool haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils)
    # Keys on the test display; xkbcomp loads its keymap.
    packages+=(x11-xkb-utils)
    # xwininfo and xprop read the program's windows in the desktop tests.
    packages+=(x11-utils)
    # The desktops' own panels, each brought up on a display of its own, and OCR to read the time off them:
    # GNOME Shell with its item extension, the XFCE panel, the LXQt panel with its window manager.
    packages+=(gnome-shell gnome-shell-extension-appindicator xfce4-panel xfconf xfwm4 xfce4-settings
        lxqt-panel lxqt-qtplugin openbox tesseract-ocr)
    # The accessibility test reads the program as a screen reader does: the AT-SPI bus and registry, and
    # Debian's python bindings (run with /usr/bin/python3) for the reader.
    packages+=(at-spi2-core python3-pyatspi)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
# Another apt run may hold the lock (unattended upgrades): wait for it instead of failing.
apt_opts=(-o DPkg::Lock::Timeout=600 -q -y)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get "${apt_opts[@]}" update
"${sudo_cmd[@]}" apt-get "${apt_opts[@]}" install --no-install-recommends "${missing[@]}"
