#!/bin/sh
# Installs the Debian packages that one purpose needs, where any is missing:
#   deps.sh run        build and run the Linux program
#   deps.sh windows    build the Windows program
#   deps.sh packagers  build the Linux program the ways packagers do
#   deps.sh tests      build both and run every test
# The tests also want Wine's 32-bit half, which needs the i386 architecture.
# Where it cannot be had, that is said and the tests take the 64-bit path
# (wine64), as on a machine that runs no 32-bit code.
set -eu
run="cmake g++ make pkg-config qt6-base-dev qt6-wayland libxcb1-dev libxcb-damage0-dev libacl1-dev
     libattr1-dev libyaml-dev libqoi-dev fonts-dejavu-core xvfb xauth"
windows="cmake make g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 libqoi-dev"
packagers="$run dpkg-dev clang"
tests="$run $windows $packagers doctest-dev xdotool x11-utils xclip util-linux icewm wmctrl imagemagick
       librsvg2-bin bc python3-pyatspi at-spi2-core dbus dbus-x11 attr acl sway xwayland x11-xserver-utils
       wtype grim wl-clipboard jq file desktop-file-utils appstream lintian
       g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 wine wine64"
case "${1:-}" in
    run) wanted=$run ;;
    windows) wanted=$windows ;;
    packagers) wanted=$packagers ;;
    tests) wanted="$tests wine32:i386" ;;
    *) echo "usage: deps.sh run|windows|packagers|tests" >&2 && exit 2 ;;
esac

missing=""
for package in $wanted; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing="$missing $package"
done
[ -z "$missing" ] && exit 0
optional="" required=""
for package in $missing; do
    case $package in *:i386) optional="$optional $package" ;; *) required="$required $package" ;; esac
done
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# An index that cannot be fetched (a mirror mid-sync, say) leaves the one
# before it, or none: what is then missing, the install says.
update() {
    if ! $sudo apt-get update -qq >"$log" 2>&1; then
        cat "$log" >&2
        echo "Some package indexes could not be fetched: going on with those there are." >&2
    fi
}
install() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1
}

if [ -n "$required" ]; then
    echo "Installing:$required"
    update
    if ! install $required; then
        cat "$log" >&2
        echo "Cannot install the packages this needs:$required" >&2
        echo "(apt's own error is above; the next run goes on from there.)" >&2
        exit 1
    fi
fi
[ -z "$optional" ] && exit 0
echo "Installing Wine's 32-bit half:$optional"
added=""
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386 && added=yes
fi
update
if ! install $optional; then
    reason=$(grep '^E:' "$log" | tail -n 1)
    echo "Wine's 32-bit half cannot be installed (${reason:-apt failed}): the Windows tests take the 64-bit path." >&2
    # The architecture goes again, which dpkg refuses while any i386 package is there.
    [ -z "$added" ] || $sudo dpkg --remove-architecture i386 2>/dev/null || true
fi
exit 0
