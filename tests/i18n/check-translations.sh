#!/usr/bin/env bash
# Fails when a user-visible text in the sources has no Japanese translation in the catalogue.
# Usage: check-translations.sh LUPDATE SOURCE_DIR JA_TS
set -euo pipefail
lupdate=$1 src=$2 ts=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$ts" "$tmp/check_ja.ts"
"$lupdate" -silent -no-obsolete -locations none -recursive "$src" -ts "$tmp/check_ja.ts" >/dev/null
# Print each untranslated source text with its context, then fail if there was any.
awk '
    /<name>/ { gsub(/.*<name>|<\/name>.*/, ""); ctx = $0 }
    /<source>/ { src = $0; gsub(/.*<source>|<\/source>.*/, "", src) }
    /type="unfinished"/ || /<translation><\/translation>/ { print "untranslated: [" ctx "] " src; bad++ }
    END { exit bad > 0 }
' "$tmp/check_ja.ts"
count=$(grep -c "<source>" "$tmp/check_ja.ts" || true)
echo "translations: ${count} texts, all translated"
