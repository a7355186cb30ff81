#!/bin/sh
# What deps.sh asks apt for, where it goes on and where it stops, against
# stand-ins for apt-get, dpkg and dpkg-query: no root or network needed.
. "$(dirname "$0")/lib.sh"
deps="$(cd "$(dirname "$0")/.." && pwd)/scripts/deps.sh"
mkdir "$work/bin"
stand_in() { printf '#!/bin/sh\ns=%s\n%s\n' "$work" "$2" >"$work/bin/$1" && chmod +x "$work/bin/$1"; }
stand_in sudo 'exec "$@"'
stand_in dpkg-query 'grep -qx "$3" $s/installed && echo "install ok installed"'
stand_in dpkg 'case $1 in --print-foreign-architectures) cat $s/arch ;; --add-architecture) echo "$2" >$s/arch ;;
    --remove-architecture) : >$s/arch ;; esac'
stand_in apt-get 'echo "$*" >>$s/calls
if [ "$1" = update ]; then [ -e $s/stale ] && echo "E: Failed to fetch .../binary-i386/Packages.xz Mirror sync in progress?" && exit 100; exit 0; fi
shift 4; for p; do grep -qx "$p" $s/broken && echo "E: Unable to correct problems, you have held broken packages." && exit 100; done
printf "%s\n" "$@" >>$s/installed'

# A row: the purpose, what cannot be had ("stale" is an index), the exit status
# deps.sh must end with, and a line its output must hold.
row() {
    : >"$work/calls" && : >"$work/arch" && : >"$work/installed" && : >"$work/broken" && rm -f "$work/stale"
    for thing in $2; do [ "$thing" = stale ] && touch "$work/stale" || echo "$thing" >>"$work/broken"; done
    status=0
    PATH="$work/bin:$PATH" "$deps" "$1" >"$work/out" 2>&1 || status=$?
    [ "$status" = "$3" ] || { cat "$work/out"; fail "$1 with '$2' cannot be had: ended with $status, not $3"; }
    grep -q "$4" "$work/out" || { cat "$work/out"; fail "$1 with '$2' cannot be had: no '$4'"; }
}
row tests "stale" 0 "Some package indexes could not be fetched"
grep -qx wine32:i386 "$work/installed" && grep -qx qt6-base-dev "$work/installed" \
    || fail "a stale index stopped the install"
row tests "wine32:i386" 0 "Wine's 32-bit half cannot be installed (E: Unable to correct"
grep -qx wine64 "$work/installed" || fail "the 64-bit half was not installed"
[ -s "$work/arch" ] && fail "the i386 architecture was left behind"
row run "qt6-base-dev" 1 "Cannot install the packages this needs:.* qt6-base-dev"
grep -q "held broken packages" "$work/out" || fail "apt's own error was not shown"
grep -q 'wine\|mingw\|i386' "$work/calls" && fail "run asked for Windows or test packages"
# A second run goes on with what the first did not install, and nothing when all is there.
: >"$work/broken"
PATH="$work/bin:$PATH" "$deps" run >/dev/null
[ "$(grep -c qt6-base-dev "$work/installed")" = 1 ] || fail "the second run did not install what was missing"
: >"$work/calls"
PATH="$work/bin:$PATH" "$deps" run >/dev/null
[ -s "$work/calls" ] && fail "apt was called with nothing missing"
echo "deps.sh: every row holds"
