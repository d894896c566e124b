#!/usr/bin/env bash
# Runs the bash completion of trackmill-cli in bash, as the shell calls it, on a folder
# of real files, and checks what it offers.
set -uo pipefail
source "$1"
cli=${2:+$(realpath "$2")}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
touch a.mpc 'B.MP+' c.mpp d.txt e.mp3
mkdir sub

failures=0
# expect "WANTED WORDS" trackmill-cli WORDS...: the last word is the one being completed.
expect() {
  local wanted=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _trackmill_cli
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
  wanted=$(set -f; printf '%s\n' $wanted | sort | tr '\n' ' ')
  if [[ $got != "$wanted" ]]; then
    local IFS=' '
    echo "FAIL: '$*' offered [$got], expected [$wanted]"
    failures=$((failures + 1))
  fi
}

expect "info convert help --help --version" trackmill-cli ""
expect "convert" trackmill-cli co
expect "skip overwrite keep-both update-tags" trackmill-cli convert --existing ""
expect "keep-both" trackmill-cli convert --existing k
expect "overwrite" trackmill-cli convert --existing = o
expect "id3v1 id3v2" trackmill-cli convert --ape-to ""
expect "source tags flat" trackmill-cli convert -j 2 --layout ""
# Musepack names in any letter case and folders, never other files.
expect "a.mpc B.MP+ c.mpp sub" trackmill-cli convert ""
expect "a.mpc B.MP+ c.mpp sub" trackmill-cli convert --flat ""
expect "B.MP+" trackmill-cli convert B
expect "a.mpc B.MP+ c.mpp e.mp3 sub" trackmill-cli info --json ""
expect "sub" trackmill-cli convert --output-dir ""
expect "sub" trackmill-cli convert --library-folder = ""
expect "" trackmill-cli convert --pattern ""
expect "--no-folder-art --no-embed-folder-art --no-id3v1 --no-id3v2 --no-ape" trackmill-cli convert --no-
expect "--json" trackmill-cli info --j
# After "--" a name that starts with a dash is a path.
touch -- '--odd.mpc'
expect "--odd.mpc" trackmill-cli convert -- --

# Words as typed, quoted or escaped, complete to the plain names readline quotes back;
# one wanted name a line, since the names hold blanks.
mkdir 'My Music'
touch 'My Music/x.MPC' 'My Music/Song One.mpc' "Don't.mpc" Donald.mpc '[Live] x.mpc'
IFS=$'\n'
expect $'My Music/Song One.mpc\nMy Music/x.MPC' trackmill-cli convert 'My\ Music/'
expect 'My Music/Song One.mpc' trackmill-cli convert '"My Music/S'
expect 'My Music/Song One.mpc' trackmill-cli convert "'My Music/S"
expect 'My Music/Song One.mpc' trackmill-cli info 'My\ Music/Song\ O'
expect 'My Music' trackmill-cli convert --output-dir = 'My\ '
expect $'Don\'t.mpc\nDonald.mpc' trackmill-cli convert Don
expect "Don't.mpc" trackmill-cli convert "Don\\'"
# A name that reads as a pattern stays, whatever the user's glob options.
shopt -s nullglob
expect '[Live] x.mpc' trackmill-cli convert '[L'
shopt -u nullglob
IFS=$' \t\n'

# Every option the program itself lists is offered.
if [[ -n $cli ]]; then
  for option in $("$cli" convert --help | grep -oE '^  (-[a-z], )?--?[a-z][a-z0-9-]*' | grep -oE -- '--?[a-z][a-z0-9-]*' | sort -u); do
    COMP_WORDS=(trackmill-cli convert "$option")
    COMP_CWORD=2
    COMPREPLY=()
    _trackmill_cli
    if ! printf '%s\n' "${COMPREPLY[@]}" | grep -qxF -- "$option"; then
      echo "FAIL: convert --help lists $option, the completion does not offer it"
      failures=$((failures + 1))
    fi
  done
fi

[[ $failures -eq 0 ]] && echo "completion: all cases passed"
exit $((failures > 0))
