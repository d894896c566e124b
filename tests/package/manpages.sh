#!/usr/bin/env bash
# The manual pages render without a warning from man and groff, and the page of
# trackmill-cli names every option the program's own help lists.
# Usage: manpages.sh MANDIR TRACKMILL-CLI
set -uo pipefail
mandir=$1 cli=$2
failures=0
for page in "$mandir"/trackmill.1 "$mandir"/trackmill-cli.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  warnings+=$(groff -ww -man -Tutf8 -z "$page" 2>&1)
  if [[ -n $warnings ]]; then
    echo "FAIL: $page: $warnings"
    failures=$((failures + 1))
  fi
  for section in NAME SYNOPSIS DESCRIPTION FILES 'SEE ALSO'; do
    if ! LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -qx "$section"; then
      echo "FAIL: $page has no $section section"
      failures=$((failures + 1))
    fi
  done
done

rendered=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$mandir/trackmill-cli.1" 2>/dev/null | sed 's/‐/-/g')
for command in convert info; do
  for option in $("$cli" $command --help | grep -oE '^  (-[a-z], )?--?[a-z][a-z0-9-]*' | grep -oE -- '--?[a-z][a-z0-9-]*' | sort -u); do
    if ! grep -qE -- "(^|[^a-z-])$option([^a-z0-9-]|$)" <<<"$rendered"; then
      echo "FAIL: trackmill-cli $command --help lists $option, its manual page does not"
      failures=$((failures + 1))
    fi
  done
done
[[ $failures -eq 0 ]] && echo "manual pages: all checks passed"
exit $((failures > 0))
