#!/usr/bin/env bash
# Fails when a folder of src/ depends on a folder that stands above it, or on a peer it must not know:
# through a quoted #include "folder/..." or through the CMake libraries it links; and when a folder below
# the UI kit links Qt Widgets.
# Usage: check-layers.sh SRC_DIR
set -euo pipefail
src=${1:?usage: check-layers.sh SRC_DIR}
src=${src%/}

# The layers, lowest first. Folders of one rank are peers and never include each other: the services and
# the theme; the screen families. ui/focus holds the timers-tab sections built over the popover root (chain
# builder and banner, Pomodoro card), which the timers tab places.
declare -A rank=(
    [platform]=0 [core]=1 [services]=2 [theme]=2 [hotkeys]=3 [ui/kit]=4 [ui/popover]=5
    [ui/focus]=6
    [ui/home]=7 [ui/quickentry]=7 [ui/presets]=7 [ui/settings]=7 [ui/onboarding]=7 [ui/floating]=7
    [ui/quickadd]=7 [ui/updates]=7
    [shell]=8 [app]=9
)

# The folder a path under src/ belongs to: "ui/<family>" inside ui, else its first component.
folder_of() {
    local path=$1
    if [[ $path == ui/*/* ]]; then
        local rest=${path#ui/}
        echo "ui/${rest%%/*}"
    else
        echo "${path%%/*}"
    fi
}

failures=0
fail() {
    echo "$1"
    failures=$((failures + 1))
}

# Says why `from` may not depend on `to`; prints nothing when it may.
verdict() {
    local from=$1 to=$2
    [[ $from == "$to" ]] && return
    if [[ -z ${rank[$to]+set} ]]; then
        echo "$to is in no layer (add it to check-layers.sh)"
    elif ((rank[$to] > rank[$from])); then
        echo "$to stands above $from"
    elif ((rank[$to] == rank[$from])); then
        echo "$from and $to are peers and never depend on each other"
    fi
}

# Every source file sits in a known layer.
while IFS= read -r file; do
    rel=${file#"$src"/}
    [[ $rel == */* ]] || continue
    from=$(folder_of "$rel")
    if [[ -z ${rank[$from]+set} ]]; then
        fail "src/$rel: $from is in no layer (add it to check-layers.sh)"
        continue
    fi
    # Quoted includes with a folder; a path that names nothing under src/ is generated (moc, uic) and skipped.
    while IFS=: read -r line included; do
        [[ $included == */* && -d $src/${included%%/*} ]] || continue
        why=$(verdict "$from" "$(folder_of "$included")")
        if [[ -n $why ]]; then
            fail "src/$rel:$line: includes \"$included\": $why"
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
        sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

# Library links: the folder that defines each of our targets, then every reference to one from elsewhere.
declare -A owner=()
while IFS= read -r cmake; do
    rel=${cmake#"$src"/}
    [[ $rel == */* ]] || continue
    folder=$(folder_of "${rel%/CMakeLists.txt}/x")
    while IFS= read -r target; do
        owner[$target]=$folder
    done < <(grep -oE '(tt_library|add_library|add_executable)\([[:space:]]*[A-Za-z0-9_]+' "$cmake" |
        sed -E 's/.*\([[:space:]]*//')
done < <(find "$src" -name CMakeLists.txt | sort)

# Widgets start at the kit: everything below it builds and tests without them.
widgets_from=${rank[ui/kit]}

while IFS= read -r cmake; do
    rel=${cmake#"$src"/}
    [[ $rel == */* ]] || continue
    from=$(folder_of "${rel%/CMakeLists.txt}/x")
    if [[ -n ${rank[$from]+set} ]] && ((rank[$from] < widgets_from)); then
        while IFS=: read -r line _; do
            fail "src/$rel:$line: links Qt6::Widgets: widgets start at ui/kit, above $from"
        done < <(grep -n 'Qt6::Widgets' "$cmake")
    fi
    while IFS=: read -r line target; do
        [[ -n ${owner[$target]+set} ]] || continue
        why=$(verdict "$from" "${owner[$target]}")
        if [[ -n $why ]]; then
            fail "src/$rel:$line: links $target (${owner[$target]}): $why"
        fi
    done < <(grep -noE '\btt_[a-z0-9_]+\b' "$cmake")
done < <(find "$src" -name CMakeLists.txt | sort)

if ((failures > 0)); then
    echo "layers: $failures dependencies point the wrong way"
    exit 1
fi
echo "layers: every dependency points downward"
