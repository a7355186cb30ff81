#!/bin/sh
# Installs the Debian packages needed to build, run and test, when any is missing.
set -eu
packages="cmake g++ make pkg-config qt6-base-dev libxcb1-dev fonts-dejavu-core
          xvfb xauth xdotool x11-utils util-linux icewm wmctrl imagemagick
          dpkg-dev file desktop-file-utils appstream binutils-mingw-w64-i686"
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing="$missing $package"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
