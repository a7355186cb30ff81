#!/bin/sh
# The Windows program as a file: what it is, what it needs, what it carries.
. "$(dirname "$0")/xsession.sh"
exe=$1

file "$exe" | grep -q 'PE32 executable (GUI) Intel 80386' || fail "not a 32-bit GUI program: $(file "$exe")"
[ "$(stat -c %s "$exe")" -le 1572864 ] || fail "larger than 1.5 MiB"
# Only what Windows XP SP3 already has: every import is one of those checked
# once against its documented minimum Windows (xp_imports.txt).
i686-w64-mingw32-objdump -p "$exe" >"$work/headers"
grep -q 'MajorSubsystemVersion.*[45]$' "$work/headers" || fail "a subsystem version newer than Windows XP"
grep -v '^#' "$(dirname "$0")/xp_imports.txt" | sort -u >"$work/checked"
unchecked=$(awk '/DLL Name:/ {dll = tolower($3)} dll && /^\t[0-9a-f]+\t/ && NF == 3 {print dll, $3}' "$work/headers" \
    | sort -u | comm -23 - "$work/checked")
[ -z "$unchecked" ] || fail "imports not checked against Windows XP SP3: $(echo $unchecked)"

# It carries a version record and its icon.
i686-w64-mingw32-windres -i "$exe" -O rc -o "$work/resources.rc"
grep -q 'VALUE "FileVersion", "1.00"' "$work/resources.rc" && grep -q 'RT_GROUP_ICON' "$work/resources.rc" \
    || fail "no version record or no icon"
# The manifest: common controls 6, the Windows versions it was made for, DPI
# awareness, and no execution level, so that under Program Files Windows keeps
# its writes where the game reads them.
tr -s ' \n' ' ' < "$exe" | LC_ALL=C sed -n 's|.*\(<assembly .*</assembly>\).*|\1|p' >"$work/manifest"
for line in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' '<dpiAware' '<dpiAwareness' \
    e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
    1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    grep -qF "$line" "$work/manifest" || fail "the manifest lacks: $line"
done
# Without an execution level, Windows takes a program for an installer, and
# asks to elevate it, when such words are in its file name, version strings or manifest.
words='requestedExecutionLevel|install|setup|update|upgrad|patch'
names=$(basename "$exe"; grep 'VALUE "' "$work/resources.rc"; cat "$work/manifest")
! printf '%s\n' "$names" | grep -iE "$words" || fail "an execution level, or a word that marks an installer, above"
