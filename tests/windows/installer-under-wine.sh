#!/usr/bin/env bash
# The installer under Wine, silently: Trackmill in Program Files with its Start-menu entry
# and "Open with" for the Musepack extensions, the installed programs run; the uninstaller
# removes what was installed and nothing else.
# Usage: installer-under-wine.sh SETUP.EXE   (WINE and WINEPREFIX set)
set -euo pipefail
setup=$1
: "${WINE:?}" "${WINEPREFIX:?}"
fail() { echo "FAILED: $*" >&2; exit 1; }
dir="$WINEPREFIX/drive_c/Program Files/Trackmill"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Trackmill"
key='HKLM\Software\Classes\Applications\Trackmill.exe\shell\open\command'

"$WINE" "$setup" /S
for f in Trackmill.exe trackmill-cli.exe trackmill-pipe.exe Qt6Core.dll platforms/qwindows.dll README.txt Uninstall.exe; do
  [ -f "$dir/$f" ] || fail "the installer did not install $f"
done
[ -f "$menu/Trackmill.lnk" ] || fail "no Start-menu entry"
"$WINE" reg query "$key" 2>/dev/null | tr -d '\r' | grep -q 'Trackmill.exe" "%1"' || fail "no \"Open with\" command"
"$WINE" "$dir/trackmill-cli.exe" --version | grep -q '^trackmill-cli ' || fail "the installed trackmill-cli.exe does not run"

# A program the user put beside Trackmill.exe is theirs: the uninstaller leaves it.
echo "the user's" > "$dir/Lame.exe"
# The uninstaller runs on from a copy of itself: wait until nothing runs in the prefix.
"$WINE" "$dir/Uninstall.exe" /S
wineserver -w
[ -f "$dir/Trackmill.exe" ] && fail "the uninstaller left Trackmill.exe"
[ -d "$dir/platforms" ] && fail "the uninstaller left platforms\\"
[ "$(cat "$dir/Lame.exe")" = "the user's" ] || fail "the uninstaller removed the user's Lame.exe"
[ -e "$menu" ] && fail "the uninstaller left the Start-menu entry"
"$WINE" reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left \"Open with\""
rm -rf "$dir"
echo "installer under Wine: installed, ran, uninstalled what it installed and nothing else"
