#!/usr/bin/env bash
# Registers PROGRAM as the user's handler of quorvane:// links: a desktop entry of the user's own for it,
# made the default for the scheme. Usage: scripts/register-url-handler.sh PROGRAM
# Exits 1 with one line on standard error when it could not register it.
set -uo pipefail
program=${1:?usage: register-url-handler.sh PROGRAM}
entry="$(dirname "$0")/../resources/desktop/tarvolintimer.desktop"
apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"

fail() {
    echo "register-url-handler: $1; quorvane:// links will not open the program" >&2
    exit 1
}

# The Exec value for the program. A path of plain characters stands as it is, which every opener reads,
# xdg-open's own generic one included (it takes the first word as written, quotes and all). Any other is
# quoted by the desktop-entry rules: inside double quotes " ` $ \ take a backslash, then every backslash is
# doubled for the value's own escapes.
case "$program" in
*[[:cntrl:]]*) fail "the program's path holds a control character, which a desktop entry cannot carry" ;;
# Written %% by the rules, which GNOME's and KDE's openers take for the file's name as it stands.
*%*) fail "the program's path holds a '%', which no desktop's opener reads from a desktop entry" ;;
esac
generic_readable=1
if [[ "$program" =~ [[:space:]\"\'\\\>\<~\|\&\;\$\*\?\#\(\)\`] ]]; then
    generic_readable=0
    quoted=${program//\\/\\\\}
    quoted=${quoted//\"/\\\"}
    quoted=${quoted//\`/\\\`}
    quoted=${quoted//\$/\\\$}
    quoted=${quoted//\\/\\\\}
    exec_value="\"$quoted\""
else
    exec_value=$program
fi

mkdir -p "$apps" || fail "cannot make $apps"
target="$apps/tarvolintimer.desktop"
{
    while IFS= read -r line || [[ -n "$line" ]]; do
        if [[ "$line" == Exec=* ]]; then
            printf 'Exec=%s %%u\n' "$exec_value"
        else
            printf '%s\n' "$line"
        fi
    done <"$entry"
} >"$target.new" && mv -f "$target.new" "$target" || fail "cannot write $target"
if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database "$apps" >/dev/null 2>&1
fi
xdg-mime default tarvolintimer.desktop x-scheme-handler/quorvane || fail "xdg-mime could not make it the default"
if [[ $generic_readable == 0 ]]; then
    echo "register-url-handler: the program's path ($program) must be quoted in its desktop entry, which" \
        "xdg-open reads only under GNOME, XFCE or KDE; elsewhere quorvane:// links will not open it" >&2
fi
exit 0
