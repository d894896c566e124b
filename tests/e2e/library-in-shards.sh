#!/usr/bin/env bash
# A library converted in three shards by GNU parallel, as on several machines, makes the
# tree one run makes: each source converted once across the shards, the shard with a
# damaged source counted as parallel's one failed job, and a rerun converting nothing.
# Usage: library-in-shards.sh TRACKMILL_CLI
set -euo pipefail

fail() { echo "FAILED: $*" >&2; exit 1; }
trap 'echo "FAILED: line $LINENO: $BASH_COMMAND" >&2' ERR
[ $# -eq 1 ] || { echo "usage: $0 TRACKMILL_CLI" >&2; exit 2; }
for tool in parallel mpcenc mpcdec lame ffmpeg python3; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
done

# A blank in every path: the commands must quote what they pass on.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/library in shards.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
# A private copy of the program and a home of our own: no settings a developer's window
# left apply, and parallel keeps its files here.
mkdir -p "$tmp/bin" "$tmp/home/.config"
cp "$1" "$tmp/bin/trackmill-cli"
cli=$tmp/bin/trackmill-cli
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config
# mpcenc reads tag texts in the locale's character set.
export LC_ALL=C.UTF-8

lib=$tmp/music
ffmpeg -v error -f lavfi -i sine=frequency=440:duration=0.3 -ac 2 "$tmp/tone.wav"
ffmpeg -v error -f lavfi -i sine=frequency=440:duration=2 -ac 2 "$tmp/long.wav"
# track ARTIST/ALBUM NUMBER TITLE [WAV]
track() {
  mkdir -p "$lib/$1"
  mpcenc --silent --artist "${1%%/*}" --album "${1#*/}" --track "$2" --title "$3" \
    "${4:-$tmp/tone.wav}" "$lib/$1/$2 $3.mpc" || fail "mpcenc could not make $1/$2 $3.mpc"
}
track "Echo Park Choir/First Light" 01 Dawn
track "Echo Park Choir/First Light" 02 Noon
track "Echo Park Choir/Don't Look Back" 01 Intro
track "Echo Park Choir/Live & Loud" 01 Encore
track "Åsa Nørgaard/Vår" 01 Först
track "Åsa Nørgaard/Sånger om ljus" 01 Ljus
track "Åsa Nørgaard/Zwölf Lieder" 01 Eins
track "Åsa Nørgaard/Zwölf Lieder" 02 Zwei "$tmp/long.wav"
damaged="$lib/Åsa Nørgaard/Zwölf Lieder/02 Zwei.mpc"
truncate -s $(( $(stat -c %s "$damaged") / 2 )) "$damaged"

expected_tree=$(cd "$lib" && find . -name '*.mpc' | grep -vxF './Åsa Nørgaard/Zwölf Lieder/02 Zwei.mpc' |
                sed 's/\.mpc$/.mp3/' | LC_ALL=C sort)
expected_sources=$(find "$lib" -name '*.mpc' | grep -vxF -- "$damaged" | LC_ALL=C sort)

tree() { (cd "$1" && find . -type f | LC_ALL=C sort); }
# The sources of the `finished` events in a state, from JSON Lines on standard input.
finished() {
  python3 -c 'import json, sys
for line in sys.stdin:
    e = json.loads(line)
    if e.get("event") == "finished" and e.get("state") == sys.argv[1]:
        print(e["source"])' "$1" | LC_ALL=C sort
}
# Each job's exit status from parallel's job log, in order.
exits() { awk -F'\t' 'NR > 1 { print $7 }' "$1" | sort | tr '\n' ' '; }

# (a) One run over the whole library.
status=0
"$cli" convert --json -j 2 --library-folder "$lib" --output-dir "$tmp/one" "$lib" \
  >"$tmp/one.jsonl" 2>"$tmp/one.err" || status=$?
[ "$status" -eq 1 ] || fail "one run: exit status $status, not 1 for the damaged source: $(cat "$tmp/one.err")"
[ "$(tree "$tmp/one")" = "$expected_tree" ] ||
  fail "one run made another tree:"$'\n'"$(diff <(echo "$expected_tree") <(tree "$tmp/one"))"

# (b) Three shards of two album folders each, at once, into another output folder.
shards() {
  find "$lib" -mindepth 2 -maxdepth 2 -type d -print0 | LC_ALL=C sort -z |
    parallel -0 --will-cite --halt never -j 3 -N 2 --joblog "$1" \
      -q "$cli" convert --json -j 1 --library-folder "$lib" --output-dir "$tmp/shards" {}
}
status=0
shards "$tmp/jobs.log" >"$tmp/shards.jsonl" 2>"$tmp/shards.err" || status=$?
[ "$(awk 'END { print NR - 1 }' "$tmp/jobs.log")" -eq 3 ] || fail "not three shards:"$'\n'"$(cat "$tmp/jobs.log")"
[ "$status" -eq 1 ] || fail "parallel's exit status is $status, not one failed job: $(cat "$tmp/shards.err")"
[ "$(exits "$tmp/jobs.log")" = "0 0 1 " ] || fail "the shards' statuses are not 0, 0 and 1:"$'\n'"$(cat "$tmp/jobs.log")"

diff <(tree "$tmp/one") <(tree "$tmp/shards") >&2 || fail "the shards' tree differs from one run's (above)"
mapfile -t mp3s < <(tree "$tmp/shards")
# Run inside each tree, the paths info shows are the same: everything else must be too.
(cd "$tmp/one" && "$cli" info --json "${mp3s[@]}") >"$tmp/one.info"
(cd "$tmp/shards" && "$cli" info --json "${mp3s[@]}") >"$tmp/shards.info"
diff "$tmp/one.info" "$tmp/shards.info" >&2 || fail "the MP3s of the shards differ from one run's (above)"
python3 -c 'import json, sys
sys.exit(any(abs(json.loads(l)["mpeg"]["duration"] - 0.3) > 0.05 for l in sys.stdin))' <"$tmp/shards.info" ||
  fail "the MP3s do not last as long as their sources:"$'\n'"$(cat "$tmp/shards.info")"

converted=$(finished converted <"$tmp/shards.jsonl")
dups=$(uniq -d <<<"$converted")
[ -z "$dups" ] || fail "converted more than once across the shards:"$'\n'"$dups"
[ "$converted" = "$expected_sources" ] ||
  fail "the shards did not convert each good source:"$'\n'"$(diff <(echo "$expected_sources") <(echo "$converted"))"
[ "$(finished failed <"$tmp/shards.jsonl")" = "$damaged" ] || fail "the damaged source did not fail alone"

# A rerun converts only what is missing: here nothing, the damaged source fails again.
status=0
shards "$tmp/rerun.log" >"$tmp/rerun.jsonl" 2>"$tmp/rerun.err" || status=$?
[ "$status" -eq 1 ] && [ "$(exits "$tmp/rerun.log")" = "0 0 1 " ] ||
  fail "the rerun's statuses: parallel $status, shards $(exits "$tmp/rerun.log")"
[ -z "$(finished converted <"$tmp/rerun.jsonl")" ] || fail "the rerun converted again:"$'\n'"$(finished converted <"$tmp/rerun.jsonl")"
[ "$(finished skipped <"$tmp/rerun.jsonl")" = "$expected_sources" ] || fail "the rerun did not skip each converted source"
[ "$(tree "$tmp/shards")" = "$expected_tree" ] || fail "the rerun changed the tree"
echo "three shards made one run's tree"
