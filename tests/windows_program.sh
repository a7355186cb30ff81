#!/bin/sh
# The Windows program as a file: what it is, what it needs, what it carries.
. "$(dirname "$0")/lib.sh"
exe=$1

file "$exe" | grep -q 'PE32 executable (GUI) Intel 80386' || fail "not a 32-bit GUI program: $(file "$exe")"
[ "$(stat -c %s "$exe")" -le 1572864 ] || fail "larger than 1.5 MiB"
# Only what Windows XP SP3 already has: the imports are those checked once
# against their documented minimum Windows (xp_imports.txt), no more, no fewer.
i686-w64-mingw32-objdump -p "$exe" >"$work/headers"
grep -q 'MajorSubsystemVersion.*[45]$' "$work/headers" || fail "a subsystem version newer than Windows XP"
awk '/DLL Name:/ {dll = tolower($3)} dll && /^\t[0-9a-f]+\t/ && NF == 3 {print dll, $3}' "$work/headers" | sort -u >"$work/imported"
grep -v '^#' "$(dirname "$0")/xp_imports.txt" | sort -u | diff "$work/imported" - >"$work/differ" \
    || fail "imports not checked against Windows XP SP3 (<), or listed and not made (>): $(grep '^[<>]' "$work/differ")"

# It carries a version record and its icon.
i686-w64-mingw32-windres -i "$exe" -O rc -o "$work/resources.rc"
grep -q 'VALUE "FileVersion", "1.00"' "$work/resources.rc" && grep -q 'RT_GROUP_ICON' "$work/resources.rc" \
    || fail "no version record or no icon"
# The manifest, as resources/ has it (whitespace aside): a missing or stale one
# loses common controls 6, the Windows versions it was made for, or DPI awareness.
manifest() { tr -s ' \n' ' ' <"$1" | LC_ALL=C sed -n 's|.*\(<assembly .*</assembly>\).*|\1|p'; }
manifest "$exe" >"$work/manifest"
manifest "$(dirname "$0")/../resources/korvane-resolution-changer.manifest" | cmp -s - "$work/manifest" \
    || fail "the manifest is not resources/korvane-resolution-changer.manifest: $(cat "$work/manifest")"
# Without an execution level, Windows takes a program for an installer, and
# asks to elevate it, when such words are in its file name, version strings or manifest.
words='requestedExecutionLevel|install|setup|update|upgrad|patch'
names=$(basename "$exe"; grep 'VALUE "' "$work/resources.rc"; cat "$work/manifest")
! printf '%s\n' "$names" | grep -iE "$words" || fail "an execution level, or a word that marks an installer, above"
