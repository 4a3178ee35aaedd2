#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a program's command line with no display and no X server at all:
# --help prints the usage on standard output and exits 0, --version prints
# VERSION_LINE and exits 0, an unknown option prints the usage on standard
# error and exits 2, and the manual page MANPAGE names exactly the options
# the usage lists and the version the program reports.
# Usage: command_line_test.sh PROGRAM MANPAGE VERSION_LINE
set -euo pipefail
exec </dev/null
program=$1
manpage=$2
version_line=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# No DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM or runtime folder: a program
# that opened a window system here would abort.
run() {  # name, arguments...
  local name=$1
  shift
  set +e
  env -i PATH=/usr/bin:/bin HOME="$work" LANG=C.UTF-8 \
      ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
      "$program" "$@" >"$work/$name.out" 2>"$work/$name.err"
  echo $? >"$work/$name.status"
  set -e
}
expect() {  # name, status, stream that holds the text, the other stream empty
  local name=$1 status=$2 stream=$3 other
  other=$([ "$stream" = out ] && echo err || echo out)
  [ "$(cat "$work/$name.status")" = "$status" ] ||
    fail "$name: exit status $(cat "$work/$name.status"), not $status; stderr: $(head -c 400 "$work/$name.err")"
  [ -s "$work/$name.$stream" ] || fail "$name: nothing on std$stream"
  [ ! -s "$work/$name.$other" ] || fail "$name: unexpected std$other: $(head -c 400 "$work/$name.$other")"
}

run help --help
expect help 0 out
grep -q '^Usage: ' "$work/help.out" || fail "--help prints no usage line"

run version --version
expect version 0 out
[ "$(cat "$work/version.out")" = "$version_line" ] ||
  fail "--version prints '$(cat "$work/version.out")', not '$version_line'"

run unknown --no-such-option
expect unknown 2 err
grep -q 'no-such-option' "$work/unknown.err" || fail "the error does not name the unknown option"
grep -q '^Usage: ' "$work/unknown.err" || fail "no usage after an unknown option"

# The options of the usage's option lines, and those of the manual page's
# OPTIONS section (the tag lines after .TP), one per line, sorted.
help_options=$(grep -E '^ +-' "$work/help.out" | grep -oE '(^|[ ,])--?[A-Za-z][-A-Za-z]*' |
               tr -d ' ,' | LC_ALL=C sort -u)
page_options=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$manpage" | sed -n '/^\.TP/{n;p}' |
               grep -oE '\\-(\\-)?[A-Za-z][-A-Za-z\\]*' | sed 's/\\-/-/g; s/\\//g' | LC_ALL=C sort -u)
[ -n "$help_options" ] || fail "the usage lists no options"
if [ "$help_options" != "$page_options" ]; then
  fail "the manual page's options differ from the usage's (< usage, > page):"
  diff <(echo "$help_options") <(echo "$page_options") || true
fi
version=${version_line##* }
grep -E "^\.TH .*\" *[^\"]* $version\"" "$manpage" >/dev/null ||
  fail "the manual page's title line does not name version $version"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null || true)
[ -z "$warnings" ] || fail "man reports on $manpage: $warnings"

echo "options: $(echo $help_options)"
if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "command line of $(basename "$program"): all checks passed"
