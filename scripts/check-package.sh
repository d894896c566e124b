#!/usr/bin/env bash
# Installs the Debian package in a bare Debian 12 root (debootstrap's minbase: no compiler,
# no build tools), converts the demo folder with trackmill-cli there, reads its manual
# page, removes and purges the package and checks that nothing it installed is left.
# The bare root is made once and kept in ~/.cache/trackmill-package; each run works on a
# fresh copy of it. Needs root (chroot, mount).
# Usage: scripts/check-package.sh trackmill_VERSION_ARCH.deb [BUILD_DIR]
set -euo pipefail
deb=$(realpath "${1:?the .deb to check}")
build=${2:-}
[ "$(id -u)" -eq 0 ] || { echo "check-package.sh: run it as root (it uses chroot and mount)" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
start=$SECONDS

command -v debootstrap >/dev/null || apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
command -v mpcenc >/dev/null || apt-get install -y -qq --no-install-recommends musepack-tools >/dev/null  # the demo

cache=${TRACKMILL_PACKAGE_CACHE:-$HOME/.cache/trackmill-package}
base=$cache/bookworm-minbase
mkdir -p "$cache"
if [ ! -f "$base/.complete" ]; then
  echo "== making a bare Debian 12 root (once; kept in $base)"
  rm -rf "$base"
  # The host's own mirror when it names one, else debootstrap's default.
  mirror=$(awk '$1 == "URIs:" { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  debootstrap --variant=minbase bookworm "$base" ${mirror:+"$mirror"} >"$cache/debootstrap.log" 2>&1 ||
    { tail -20 "$cache/debootstrap.log"; exit 1; }
  touch "$base/.complete"
fi

work=$(mktemp -d "$cache/run.XXXXXX")
root=$work/root
mounted=()
cleanup() {
  local status=$? m i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    m=${mounted[i]}
    umount "$m" 2>/dev/null || umount -l "$m" || true
  done
  # Never remove a tree while anything is still mounted below it.
  if findmnt -rn -o TARGET | grep -q "^$root"; then
    echo "check-package.sh: mounts left below $root; not removing it" >&2
  else
    rm -rf "$work"
  fi
  exit $status
}
trap cleanup EXIT INT TERM
mnt() { mount "$@"; mounted+=("${@: -1}"); }

echo "== a fresh copy of the bare root"
cp -a "$base" "$root"
rm -f "$root/.complete"
mnt -t proc proc "$root/proc"
mnt --bind /dev "$root/dev"
mnt --bind /dev/pts "$root/dev/pts"
mnt --bind /sys "$root/sys"
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" env -i HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin \
                   DEBIAN_FRONTEND=noninteractive "$@"; }

echo "== demo folder"
"$repo/scripts/make-demo.sh" "$work/demo" ${build:+"$build"} >/dev/null
cp -a "$work/demo" "$root/root/demo"
sources=$(find "$root/root/demo" -type f \( -iname '*.mpc' -o -iname '*.mpp' -o -iname '*.mp+' \) | wc -l)

echo "== apt-get install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >"$work/install.log" 2>&1 ||
  { tail -30 "$work/install.log"; exit 1; }
for tool in cc gcc g++ cmake make; do
  if in_root sh -c "command -v $tool" >/dev/null; then echo "FAIL: $tool is in the bare root" >&2; exit 1; fi
done
in_root dpkg -L trackmill | sort >"$work/files"

echo "== trackmill-cli convert on the demo folder"
in_root trackmill-cli convert /root/demo
mp3s=$(find "$root/root/demo" -type f -name '*.mp3' | wc -l)
[ "$mp3s" -eq "$sources" ] || { echo "FAIL: $mp3s MP3s from $sources sources" >&2; exit 1; }
first=$(cd "$root" && find root/demo -type f -name '*.mp3' | sort | head -1)
in_root trackmill-cli info "/$first" | grep "MPEG" >/dev/null ||
  { echo "FAIL: trackmill-cli info does not read /$first as MPEG audio" >&2; exit 1; }
echo "$mp3s MP3s from $sources Musepack files"

echo "== the window starts"
status=0
in_root env QT_QPA_PLATFORM=offscreen timeout 5 trackmill /root/demo >"$work/window.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/window.log"; echo "FAIL: the window ended with $status" >&2; exit 1; }
in_root sh -c 'ls /usr/lib/*/qt6/plugins/platforms/libqxcb.so' >/dev/null ||
  { echo "FAIL: no X11 platform plugin: the window could not open on a desktop" >&2; exit 1; }

echo "== man trackmill-cli"
in_root apt-get install -y -qq --no-install-recommends man-db >"$work/man-db.log" 2>&1 ||
  { tail -30 "$work/man-db.log"; exit 1; }
in_root env MANPAGER=cat MANWIDTH=80 man trackmill-cli >"$work/man.txt" 2>&1
grep -qE "trackmill-cli +- +convert Musepack files to MP3" "$work/man.txt" ||
  { head -20 "$work/man.txt"; echo "FAIL: man trackmill-cli does not show the page" >&2; exit 1; }
in_root env MANPAGER=cat man trackmill >/dev/null

echo "== dpkg -r trackmill, dpkg --purge trackmill"
in_root dpkg -r trackmill >/dev/null
# A package without configuration files is gone after -r; one with them needs the purge.
if in_root dpkg-query -W trackmill >/dev/null 2>&1; then in_root dpkg --purge trackmill >/dev/null; fi
left=0
while IFS= read -r path; do
  [ "$path" = "/." ] && continue
  if [ -d "$root$path" ] && [ ! -L "$root$path" ]; then
    # A folder may stay when another package owns it or something else is in it.
    if [ -z "$(ls -A "$root$path")" ] && ! in_root dpkg -S "$path" >/dev/null 2>&1; then
      echo "left behind: $path (an empty folder of ours)"
      left=$((left + 1))
    fi
  elif [ -e "$root$path" ] || [ -L "$root$path" ]; then
    echo "left behind: $path"
    left=$((left + 1))
  fi
done <"$work/files"
[ "$left" -eq 0 ] || { echo "FAIL: $left paths left after purging the package" >&2; exit 1; }
echo "== the package installed, converted, showed its page and left nothing: $((SECONDS - start)) s"
