#!/bin/sh
# The layer check's compiler launcher: IncludeTree.sh <our folder> <compile command...>
# Runs the compile (through ccache or whatever launcher follows) with -H, and writes what
# each file below <our folder> included directly, as the compiler found it, to
# <object>.includes: one "includer<TAB>included" line each, paths absolute but spelled as
# the compiler opened them. The tree leaves stderr; everything else there passes through.
ours=$1
shift
object=
source=
previous=
for arg in "$@"; do
  case $previous in
    -o) object=$arg ;;
    -c) source=$arg ;;
  esac
  previous=$arg
done
if [ -z "$object" ] || [ -z "$source" ]; then
  exec "$@"
fi

stderr=$object.stderr
"$@" -H 2>"$stderr"
status=$?
# gcc prints a header each time it opens one, its depth in dots; after the tree it may
# list the headers without guards, bare paths among the diagnostics.
awk -v ours="$ours" -v cwd="$PWD" -v source="$source" -v out="$object.includes.new" '
  function absolute(p) { return substr(p, 1, 1) == "/" ? p : cwd "/" p }
  # Only to tell our files from others; the check resolves links itself.
  function normal(p,    n, i, k, part, kept) {
    n = split(p, part, "/")
    k = 0
    for (i = 1; i <= n; i++) {
      if (part[i] == "" || part[i] == ".") continue
      if (part[i] == "..") { if (k > 0) k--; continue }
      kept[++k] = part[i]
    }
    p = ""
    for (i = 1; i <= k; i++) p = p "/" kept[i]
    return p
  }
  BEGIN { ours = normal(ours) "/"; printf "" > out; file[0] = absolute(source) }
  /^\.+ / {
    depth = index($0, " ") - 1
    file[depth] = absolute(substr($0, depth + 2))
    parent = file[depth - 1]
    if (index(normal(parent), ours) == 1 && !seen[parent, file[depth]]++)
      print parent "\t" file[depth] > out
    next
  }
  /^Multiple include guards may be useful for:$/ { guards = 1; next }
  guards && (getline line < $0) >= 0 { close($0); next }
  { print > "/dev/stderr" }
' "$stderr" || status=1
mv -f "$object.includes.new" "$object.includes"
rm -f "$stderr"
exit $status
