#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures how strong the three strengths are, with the simulator: the
# user's seat played by the lowest-card policy and by the search player, at
# やさしい, ふつう and むずかしい. Each cell plays as many matches as fit its
# share of the time (at most 10,000), two cells at a time on two cores, and
# all of it within about ten minutes. Prints the table of the README (match
# wins, average place, rounds won, each with its standard error) and checks:
#   - for each user policy, the user does better at やさしい than at ふつう,
#     and at ふつう than at むずかしい, by more than three standard errors in
#     average place and in average match total;
#   - the search at やさしい wins at least 25 % of the matches;
#   - the search at ふつう wins at least five times as many as the lowest card.
# Exits 1 when a check fails.
#
# Usage: tools/measure-strength.sh [PROGRAM_FOLDER] [SECONDS] [PLAYOUTS]
#        (defaults: build/bin, 470, 400)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(cd "${1:-build/bin}" && pwd)
budget=${2:-470}
playouts=${3:-400}
sim="$bin/vantel-sim"
seed=2026
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
started=$(date +%s)

levels=(easy normal hard)
users=(lowest search)

run_cell() {  # level user matches output
  "$sim" --seed "$seed" --matches "$3" --level "$1" --user "$2" --playouts "$playouts" >"$4"
}

seconds_of() {
  local from to
  from=$(date +%s.%N)
  "$@" >/dev/null
  to=$(date +%s.%N)
  echo "$from $to" | awk '{ printf "%.3f", $2 - $1 }'
}

# Calibration: a few matches of each cell, for the time a match takes.
declare -A per_match
for level in "${levels[@]}"; do
  for user in "${users[@]}"; do
    n=4
    [ "$user" = lowest ] && [ "$level" != hard ] && n=200
    t=$(seconds_of "$sim" --seed 1 --matches "$n" --level "$level" --user "$user" --playouts "$playouts")
    per_match[$level-$user]=$(echo "$t $n" | awk '{ printf "%.6f", ($1 > 0.01 ? $1 : 0.01) / $2 }')
  done
done

# The fast cells take 10,000 matches; the time left is shared by the four
# cells that search, two at a time.
left=$(( budget - ($(date +%s) - started) ))
declare -A matches
slow=()
for level in "${levels[@]}"; do
  for user in "${users[@]}"; do
    cell=$level-$user
    if [ "$user" = lowest ] && [ "$level" != hard ]; then
      matches[$cell]=10000
    else
      slow+=("$cell")
    fi
  done
done
fast_time=$(echo "${per_match[easy-lowest]} ${per_match[normal-lowest]}" | awk '{ printf "%d", 10000 * ($1 + $2) + 1 }')
share=$(( (left - fast_time) * 2 / ${#slow[@]} ))
for cell in "${slow[@]}"; do
  matches[$cell]=$(echo "$share ${per_match[$cell]}" | awk '{ n = int($1 / $2); if (n > 10000) n = 10000; if (n < 10) n = 10; print n }')
done

# Two at a time: the fast pair, then the slow cells in pairs.
order=(easy-lowest normal-lowest "${slow[@]}")
for ((i = 0; i < ${#order[@]}; i += 2)); do
  for cell in "${order[@]:i:2}"; do
    run_cell "${cell%-*}" "${cell#*-}" "${matches[$cell]}" "$work/$cell.txt" &
  done
  wait
done

# user: match wins W% ± e, average place P ± e, rounds won R% ± e, average match total T ± e
field() { sed -n 's/^user: match wins \([0-9.]*\)% ± \([0-9.]*\), average place \([0-9.]*\) ± \([0-9.]*\), rounds won \([0-9.]*\)% ± \([0-9.]*\), average match total \(-\?[0-9.]*\) ± \([0-9.]*\)$/\1 \2 \3 \4 \5 \6 \7 \8/p' "$work/$1.txt"; }

echo "Strengths measured with vantel-sim (seed $seed, $playouts playouts a decision), $(( $(date +%s) - started )) s:"
echo
echo "| | user plays \`lowest\` | user plays \`search\` |"
echo "|---|---|---|"
declare -A name=([easy]=やさしい [normal]=ふつう [hard]=むずかしい)
for level in "${levels[@]}"; do
  row="| ${name[$level]} |"
  for user in "${users[@]}"; do
    read -r w we p pe r re _ _ <<<"$(field "$level-$user")"
    row+=" ${matches[$level-$user]} matches: wins $w % ± $we, place $p ± $pe, rounds won $r % ± $re |"
  done
  echo "$row"
done
echo
for level in "${levels[@]}"; do
  for user in "${users[@]}"; do
    echo "$level/$user: $(grep -E '^search' "$work/$level-$user.txt" | tr '\n' ';')"
  done
done

failed=0
check() {  # description condition(awk expression over a b) a b
  if awk -v a="$2" -v b="$3" "BEGIN { exit !($4) }"; then echo "ok: $1"; else echo "FAIL: $1"; failed=1; fi
}
for user in "${users[@]}"; do
  for pair in easy:normal normal:hard; do
    better=${pair%:*} worse=${pair#*:}
    read -r _ _ p1 pe1 _ _ t1 te1 <<<"$(field "$better-$user")"
    read -r _ _ p2 pe2 _ _ t2 te2 <<<"$(field "$worse-$user")"
    se_p=$(awk -v a="$pe1" -v b="$pe2" 'BEGIN { print sqrt(a * a + b * b) }')
    se_t=$(awk -v a="$te1" -v b="$te2" 'BEGIN { print sqrt(a * a + b * b) }')
    check "$user: place at $better ($p1) better than at $worse ($p2) by > 3 SE ($se_p)" "$p1" "$p2" "b - a > 3 * $se_p"
    check "$user: total at $better ($t1) above $worse ($t2) by > 3 SE ($se_t)" "$t1" "$t2" "a - b > 3 * $se_t"
  done
done
read -r w_easy _ <<<"$(field easy-search)"
read -r w_low _ <<<"$(field normal-lowest)"
read -r w_search _ <<<"$(field normal-search)"
check "search at やさしい wins $w_easy % (at least 25 %)" "$w_easy" 0 "a >= 25"
check "search at ふつう wins $w_search %, at least five times the lowest card's $w_low %" "$w_search" "$w_low" "a >= 5 * b"
echo "measure-strength: $(( $(date +%s) - started )) s"
exit "$failed"
