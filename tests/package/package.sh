#!/usr/bin/env bash
# Makes the Debian package from the build tree into a temporary folder and checks it:
# what it holds, what it depends on, that its programs are stripped and still run, and
# that lintian finds no error in it.
# Usage: package.sh BUILD_DIR VERSION
set -uo pipefail
build=$1 version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1); then
  cat "$out/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi
deb="$out/trackmill_${version}_$(dpkg --print-architecture).deb"
[[ -f $deb ]] || { ls "$out"; echo "FAIL: no $deb"; exit 1; }

listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for path in /usr/bin/trackmill /usr/bin/trackmill-cli \
            /usr/share/man/man1/trackmill.1.gz /usr/share/man/man1/trackmill-cli.1.gz \
            /usr/share/bash-completion/completions/trackmill-cli \
            /usr/share/applications/trackmill.desktop \
            /usr/share/metainfo/org.trackmill.trackmill.metainfo.xml \
            /usr/share/icons/hicolor/scalable/apps/trackmill.svg \
            /usr/share/doc/trackmill/copyright /usr/share/doc/trackmill/changelog.gz; do
  grep -qxF "$path" <<<"$listing" || fail "the package lacks $path"
done
for size in 16 22 24 32 48 64 128 256; do
  grep -qxF "/usr/share/icons/hicolor/${size}x${size}/apps/trackmill.png" <<<"$listing" ||
    fail "the package lacks the ${size}x${size} icon"
done
# Nothing outside /usr, and nothing of the build or the tests.
if stray=$(grep -vE '^/$|^/usr(/|$)' <<<"$listing"); then fail "paths outside /usr: $stray"; fi

depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for needed in musepack-tools lame opus-tools qt6-translations-l10n libqt6core6 libqt6widgets6 libqt6dbus6 libc6 libstdc++6; do
  grep -qxF "$needed" <<<"$names" || fail "Depends lacks $needed: $depends"
done
# xdg-open opens the output folder; nothing else is wanted beside what it depends on.
[[ $(dpkg-deb -f "$deb" Recommends) == xdg-utils ]] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"
[[ $(dpkg-deb -f "$deb" Section) == sound ]] || fail "Section is not sound"

dpkg-deb -x "$deb" "$out/root"
for program in trackmill trackmill-cli; do
  file "$out/root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
"$out/root/usr/bin/trackmill-cli" --version | grep -qxF "trackmill-cli $version" ||
  fail "the packaged trackmill-cli does not run"

lintian --fail-on error --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1
status=$?
cat "$out/lintian.log"
[[ $status -eq 0 ]] || fail "lintian found errors (status $status)"

[[ $failures -eq 0 ]] && echo "package: all checks passed"
exit $((failures > 0))
