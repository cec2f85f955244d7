#!/usr/bin/env bash
# Measures the program as a desktop user meets it, beside Debian's Qt tray tea timer (kteatime) when that is
# installed: start-up time, resident memory after 10 s idle, wake-ups and CPU time per minute idle and with
# one timer running. Run by hand (never by ctest), on a display and a session bus of its own:
#   bench/measure-desktop.sh [PROGRAM]        (default: build-rel, else build-mine, else build)
# PANEL chooses where the program's item is shown:
#   (unset)  no tray: the timers open in a window ("window" row), then the window is unmapped ("hidden")
#   xfce     the XFCE panel, which draws square pictures
#   gnome    GNOME Shell with its item extension, which draws the item's label
# With a panel, the rows are the popover closed and the popover open (opened as the panel's click does).
# WINDOW=seconds sets each sampling window (60 by default); figures are scaled to one minute.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-}
if [[ -z $program ]]; then
    for dir in build-rel build-mine build; do
        [[ -x $dir/src/app/tarvolintimer ]] && program=$dir/src/app/tarvolintimer && break
    done
fi
[[ -x ${program:-} ]] || { echo "measure-desktop.sh: no program built; give its path" >&2; exit 1; }
program=$(realpath "$program")
window=${WINDOW:-60}
panel=${PANEL:-}
for tool in Xvfb dbus-daemon xdotool gdbus; do
    command -v "$tool" >/dev/null || { echo "measure-desktop.sh: $tool is missing (scripts/deps.sh --tests)" >&2; exit 1; }
done
case $panel in
    "") ;;
    xfce) command -v xfce4-panel >/dev/null || { echo "measure-desktop.sh: xfce4-panel is missing" >&2; exit 1; } ;;
    gnome) command -v gnome-shell >/dev/null || { echo "measure-desktop.sh: gnome-shell is missing" >&2; exit 1; } ;;
    *) echo "measure-desktop.sh: PANEL is xfce or gnome" >&2; exit 1 ;;
esac

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display and buses of our own, so nothing of the desktop we run on interferes. GNOME Shell also needs a
# system bus.
exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
read -r -u 5 number
export DISPLAY=":$number"
start_bus() { # type
    cat >"$work/$1.conf" <<CONF
<busconfig><type>$1</type><listen>unix:dir=$work</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
CONF
    # Forked, with its pid written down, so the clean-up ends it.
    dbus-daemon --config-file="$work/$1.conf" --fork --print-address=1 --print-pid=3 \
        3>"$work/$1.pid" 2>/dev/null | head -n 1
}
DBUS_SESSION_BUS_ADDRESS=$(start_bus session)
DBUS_SYSTEM_BUS_ADDRESS=$(start_bus system)
pids+=($(cat "$work/session.pid") $(cat "$work/system.pid"))
export DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/runtime" XDG_SESSION_TYPE=x11
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME

spawn() { # log command...: in a process group of its own, so what it starts ends with it
    local log=$1
    shift
    setsid "$@" </dev/null >"$work/$log.log" 2>&1 &
    pids+=($!)
}
watcher_pid() {
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
        -m org.freedesktop.DBus.GetConnectionUnixProcessID org.kde.StatusNotifierWatcher 2>/dev/null |
        sed -E 's/[^0-9]//g'
}
case $panel in
    xfce)
        export XDG_CURRENT_DESKTOP=XFCE
        mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
        cp /etc/xdg/xfce4/panel/default.xml "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml"
        # Not on PATH: it lives in the multiarch library folder of the machine's architecture.
        xfconfd=(/usr/lib/*/xfce4/xfconf/xfconfd)
        spawn xfconfd "${xfconfd[0]}"
        sleep 0.3
        spawn xfsettingsd xfsettingsd --no-daemon
        spawn xfwm4 xfwm4 --compositor=off
        spawn panel xfce4-panel
        ;;
    gnome)
        export XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile
        gsettings set org.gnome.shell disable-user-extensions false
        gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
        spawn shell gnome-shell --x11 --replace --sm-disable
        ;;
esac
if [[ -n $panel ]]; then
    for _ in $(seq 1 120); do [[ -n $(watcher_pid) ]] && break; sleep 0.25; done
    [[ -n $(watcher_pid) ]] || { echo "measure-desktop.sh: the $panel panel did not come up" >&2; exit 1; }
    sleep 2
    [[ $panel == gnome ]] && xdotool key Escape
    sleep 2
fi
# The program runs through X, as on the desktops it serves.
export QT_QPA_PLATFORM=xcb

now_us() { echo "${EPOCHREALTIME/./}"; }

# Sums over all threads: context switches (each one a wake-up or a preemption) and nanoseconds on a CPU.
switches() {
    local total=0 n
    for f in /proc/"$1"/task/*/status; do
        n=$(awk '/ctxt_switches/ {s += $2} END {print s}' "$f" 2>/dev/null || echo 0)
        total=$((total + n))
    done
    echo "$total"
}
cpu_ns() {
    local total=0 n
    for f in /proc/"$1"/task/*/schedstat; do
        n=$(awk '{print $1}' "$f" 2>/dev/null || echo 0)
        total=$((total + n))
    done
    echo "$total"
}
rss_kb() { awk '/VmRSS/ {print $2}' /proc/"$1"/status; }

# Wake-ups and CPU milliseconds per minute over one window.
sample() {
    local pid=$1 s0 c0 s1 c1
    s0=$(switches "$pid"); c0=$(cpu_ns "$pid")
    sleep "$window"
    s1=$(switches "$pid"); c1=$(cpu_ns "$pid")
    echo "$(((s1 - s0) * 60 / window)) $(((c1 - c0) * 60 / window / 1000000))"
}

# Starts a program and waits until it is up: for ours, its ready line; for others, their first window.
# Prints "pid microseconds".
start_ours() {
    mkfifo "$work/err"
    local t0 t1 line
    t0=$(now_us)
    "$program" 2>"$work/err" &
    local pid=$!
    exec 7<"$work/err"
    while IFS= read -r -u 7 line; do
        [[ $line == *"[Main] Running with"* ]] && break
    done
    t1=$(now_us)
    cat <&7 >/dev/null &
    pids+=($pid $!)
    echo "$pid $((t1 - t0))"
}
start_other() {
    local t0 t1 pid
    t0=$(now_us)
    "$@" >/dev/null 2>&1 &
    pid=$!
    pids+=($pid)
    # A tray program shows no window where there is no tray: give up after 10 s and say so.
    until xdotool search --pid "$pid" >/dev/null 2>&1; do
        sleep 0.002
        if (($(now_us) - t0 > 10000000)); then
            echo "$pid -1"
            return
        fi
    done
    t1=$(now_us)
    echo "$pid $((t1 - t0))"
}

report() { # name startup_us rss_kb idle_wakeups idle_cpu_ms busy_wakeups busy_cpu_ms
    printf '%-30s %10s %10s %14s %12s %16s %12s\n' "$1" \
        "$(awk "BEGIN {if ($2 < 0) print \"n/a\"; else printf \"%.1f ms\", $2 / 1000}")" \
        "$(awk "BEGIN {printf \"%.1f MB\", $3 / 1024}")" "$4/min" "$5 ms/min" "$6/min" "$7 ms/min"
}

where=${panel:-no tray}
echo "Sampling windows of ${window}s on $DISPLAY ($where); figures per minute."
printf '%-30s %10s %10s %14s %12s %16s %12s\n' program start-up resident "idle wake-ups" "idle CPU" \
    "1-timer wake-ups" "1-timer CPU"

# A user past the first-run guide, so only the timers are measured.
mkdir -p "$XDG_CONFIG_HOME/TarvolinTimer"
printf '{"bl.hasSeenOnboarding": true}\n' >"$XDG_CONFIG_HOME/TarvolinTimer/preferences.json"
read -r pid startup < <(start_ours)
sleep 10
rss=$(rss_kb "$pid")
read -r idle_w idle_c < <(sample "$pid")
"$program" "quorvane://start?minutes=30&title=bench" 2>/dev/null
sleep 1
if [[ -z $panel ]]; then
    read -r busy_w busy_c < <(sample "$pid")
    report "tarvolintimer (window)" "$startup" "$rss" "$idle_w" "$idle_c" "$busy_w" "$busy_c"
    # With no tray here the timers are in an open window; unmapped, it is drawn no more, as with a tray.
    for window_id in $(xdotool search --pid "$pid" 2>/dev/null); do xdotool windowunmap "$window_id" 2>/dev/null || true; done
    sleep 1
    read -r hidden_w hidden_c < <(sample "$pid")
    report "tarvolintimer (hidden)" "$startup" "$(rss_kb "$pid")" - - "$hidden_w" "$hidden_c"
else
    read -r busy_w busy_c < <(sample "$pid")
    report "tarvolintimer (popover closed)" "$startup" "$rss" "$idle_w" "$idle_c" "$busy_w" "$busy_c"
    # The popover opened as the panel's click opens it: Activate on the program's item.
    item=$(gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
        -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems |
        grep -oE "org\.kde\.StatusNotifierItem-$pid-[0-9]+" | head -n 1)
    gdbus call --session -d "$item" -o /StatusNotifierItem -m org.kde.StatusNotifierItem.Activate 1400 10 >/dev/null
    sleep 2
    read -r open_w open_c < <(sample "$pid")
    report "tarvolintimer (popover open)" "$startup" "$(rss_kb "$pid")" - - "$open_w" "$open_c"
fi
kill "$pid"

if command -v kteatime >/dev/null; then
    read -r pid startup < <(start_other kteatime)
    sleep 10
    rss=$(rss_kb "$pid")
    read -r idle_w idle_c < <(sample "$pid")
    kill "$pid"
    sleep 0.5
    # A tea of 30 minutes, started from its command line.
    kteatime --time 1800 >/dev/null 2>&1 &
    pid=$!
    pids+=($pid)
    sleep 11
    read -r busy_w busy_c < <(sample "$pid")
    report kteatime "$startup" "$rss" "$idle_w" "$idle_c" "$busy_w" "$busy_c"
else
    echo "kteatime is not installed: measured alone."
fi
