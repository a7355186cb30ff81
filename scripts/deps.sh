#!/bin/sh
# Installs the Debian packages needed to build, run and test both programs
# (on X11 and Wayland), when any is missing. Wine's 32-bit half needs the i386
# architecture; the 64-bit toolchain and wine64 serve machines that run no
# 32-bit code.
set -eu
packages="cmake g++ make pkg-config qt6-base-dev libxcb1-dev libxcb-damage0-dev fonts-dejavu-core
          xvfb xauth xdotool x11-utils xclip util-linux icewm wmctrl imagemagick librsvg2-bin bc
          python3-pyatspi at-spi2-core dbus dbus-x11 attr
          sway xwayland x11-xserver-utils wtype grim wl-clipboard jq qt6-wayland
          dpkg-dev file desktop-file-utils appstream doctest-dev libqoi-dev lintian clang
          libacl1-dev libattr1-dev
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine wine32:i386
          g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 wine64"
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing="$missing $package"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
