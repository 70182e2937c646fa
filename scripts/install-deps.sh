#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, testing and running KVTPlayer need.
# Idempotent and quiet: it only calls apt-get when something is missing.
set -eu

packages="build-essential cmake pkg-config
qt6-base-dev qt6-base-dev-tools libgl-dev qt6-image-formats-plugins qt6-translations-l10n
qt6-tools-dev qt6-l10n-tools qt6-charts-dev libqt6opengl6-dev
libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libboost-dev libsodium-dev poppler-utils
xvfb xauth x11-utils xdotool openbox imagemagick fonts-noto-cjk
shared-mime-info desktop-file-utils
help2man groff-base bash-completion appstream dpkg-dev lintian"

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages:$missing (run as root to install them)" >&2
  exit 1
fi
echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing >/dev/null
