#!/usr/bin/env bash
# Installs what building, running and testing Trackmill needs on Debian 12.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6dbus6 libqt6opengl6-dev libgl-dev
  libgtest-dev libgmock-dev googletest
  clang libclang-rt-14-dev
  musepack-tools lame ffmpeg
  opus-tools  # opusenc, the Opus target's encoder, and opusinfo, which checks its files
  eyed3 id3v2 python3-mutagen python3-mediafile  # the readers of players and taggers
  strace  # counts a conversion's opens of its source
  dbus-daemon xvfb xauth x11-apps x11-utils imagemagick openbox
  xdotool  # drives the real window started twice
  fonts-dejavu-core fonts-dejavu-extra  # extra: the condensed stand-in the layout tests expect
  qt6-l10n-tools  # lupdate and lrelease
  qt6-translations-l10n  # Qt's own dialogs in the user's language
  locales  # a German locale made for a test (localedef)
  dpkg-dev file lintian appstream desktop-file-utils  # the Debian package and its checks
  man-db  # the manual pages rendered with warnings on
  parallel  # the library converted in shards
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
