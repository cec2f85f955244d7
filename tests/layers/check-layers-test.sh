#!/usr/bin/env bash
# Runs the layer check on small made-up trees: each row must pass or fail as it says, so a check that
# passes everything (or nothing) is caught.
# Usage: check-layers-test.sh CHECK_LAYERS_SCRIPT
set -euo pipefail
checker=${1:?usage: check-layers-test.sh CHECK_LAYERS_SCRIPT}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A tree where every dependency points down: platform, core over it, theme over both, the kit over the
# theme, one screen family over the kit.
base_tree() {
    local root=$1
    mkdir -p "$root"/{platform,core,theme,ui/kit,ui/settings,ui/home}
    echo '#pragma once' >"$root/platform/Store.h"
    printf '#include "platform/Store.h"\n#include "moc_Engine.cpp"\n' >"$root/core/Engine.h"
    printf '#include "core/Engine.h"\n#include "platform/Store.h"\n' >"$root/theme/Palette.h"
    printf '#include "theme/Palette.h"\n#include <QWidget>\n' >"$root/ui/kit/Button.h"
    printf '#include "ui/kit/Button.h"\n#include "ui/settings/Picker.h"\n' >"$root/ui/settings/Picker.cpp"
    echo '#include "ui/kit/Button.h"' >"$root/ui/home/Home.h"
    echo 'tt_library(tt_platform LIBS Qt6::Core)' >"$root/platform/CMakeLists.txt"
    echo 'tt_library(tt_core LIBS tt_platform)' >"$root/core/CMakeLists.txt"
    echo 'tt_library(tt_theme LIBS tt_platform tt_core Qt6::Gui)' >"$root/theme/CMakeLists.txt"
    echo 'tt_library(tt_ui_kit LIBS tt_theme Qt6::Widgets)' >"$root/ui/kit/CMakeLists.txt"
    echo 'tt_library(tt_ui_settings LIBS tt_ui_kit)' >"$root/ui/settings/CMakeLists.txt"
    echo 'tt_library(tt_ui_home LIBS tt_ui_kit)' >"$root/ui/home/CMakeLists.txt"
}

# name | expected (pass/fail) | text the report must hold | shell commands that change the tree in $root
rows=(
    "every dependency points down|pass|every dependency points downward|true"
    "an include of a higher layer|fail|core/Engine.h:3: includes \"ui/kit/Button.h\": ui/kit stands above core|echo '#include \"ui/kit/Button.h\"' >>\$root/core/Engine.h"
    "an include two layers up, from the bottom|fail|theme stands above platform|echo '#include \"theme/Palette.h\"' >>\$root/platform/Store.h"
    "peers: the services include the theme|fail|services and theme are peers|mkdir -p \$root/services && echo '#include \"theme/Palette.h\"' >\$root/services/Sound.h"
    "screen families include each other|fail|ui/home and ui/settings are peers|echo '#include \"ui/settings/Picker.h\"' >>\$root/ui/home/Home.h"
    "a folder that is in no layer|fail|gadgets is in no layer|mkdir -p \$root/gadgets && echo '#pragma once' >\$root/gadgets/Gadget.h"
    "an include with spaces after the hash|fail|ui/kit/Button.h:3: includes \"ui/home/Home.h\"|echo '#  include \"ui/home/Home.h\"' >>\$root/ui/kit/Button.h"
    "a library linked upwards|fail|core/CMakeLists.txt:2: links tt_ui_kit (ui/kit)|echo 'target_link_libraries(tt_core PRIVATE tt_ui_kit)' >>\$root/core/CMakeLists.txt"
    "the theme links the widgets|fail|theme/CMakeLists.txt:1: links Qt6::Widgets|echo 'tt_library(tt_theme LIBS tt_core Qt6::Gui Qt6::Widgets)' >\$root/theme/CMakeLists.txt"
    "a peer library linked|fail|links tt_ui_settings (ui/settings): ui/home and ui/settings are peers|echo 'tt_library(tt_ui_home LIBS tt_ui_kit tt_ui_settings)' >\$root/ui/home/CMakeLists.txt"
)

failed=0
for row in "${rows[@]}"; do
    IFS='|' read -r name expected text change <<<"$row"
    root="$work/${name// /_}"
    base_tree "$root"
    eval "$change"
    if output=$(bash "$checker" "$root" 2>&1); then got=pass; else got=fail; fi
    if [[ $got != "$expected" || $output != *"$text"* ]]; then
        echo "FAILED: $name: expected $expected saying '$text', got $got"
        echo "$output" | sed 's/^/    /'
        failed=$((failed + 1))
    else
        echo "ok: $name ($got)"
    fi
done
((failed == 0))
