#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The table server's load runs, on loopback only: at a player's pace (about
# one move a second a table, jittered) and flat out, for several table
# counts. Each line of output is one run of vantel-load. The journals go to
# a folder on a real disk (not a memory file system), made and removed here.
#
#   tools/load/run-load.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
server="$build/bin/vantel-server"
load="$build/tools/vantel-load"
data=$(mktemp -d "$build/load-XXXXXX")
trap 'rm -rf "$data"' EXIT

# 4 sockets a table on each side, and some to spare.
ulimit -n "$(ulimit -Hn)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "# at a player's pace"
for tables in 100 300 500 1000; do
  "$load" --server "$server" --data "$data" --tables "$tables" --pace 1000 --seconds 30 || true
done
echo "# flat out"
for tables in 10 30 100 300 1000 3000; do
  "$load" --server "$server" --data "$data" --tables "$tables" --pace 0 --seconds 20 || true
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
