#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the installation of a built tree: the Debian package and a plain
# `cmake --install` into a folder.
#
#   bash tools/check-package.sh <build-folder>
#
# Builds the .deb with CPack into a scratch folder, runs lintian on it (no
# error and no warning may remain), unpacks it, compares its files with the
# expected list (Debian's games layout), checks its control fields, copyright
# file and changelog, validates the menu entry and the AppStream metainfo,
# and starts the unpacked command without a screen or sound, as a user who
# cannot write to its folders: it must make its settings file in that user's
# ~/.local/share/vantel/help/, pointing at the pictures and sounds of the
# unpacked /usr/share/games/vantel, and write nothing else. The unpacked
# vantel-server, started on loopback, must serve the page and a member's
# picture from that data folder. Then the same
# for a program folder laid out by `cmake --install --prefix` and copied
# elsewhere, which its user can write to: the settings file goes to its own
# help/ and nothing to the home folder; installing again keeps that file.
#
# A sanitizer build (VANTEL_SANITIZE) is checked the same way but for
# lintian: it is no release package, and its run-time libraries and debug
# build are not what lintian judges a package by.
#
# Run as root (as CI does), the program runs as the user nobody; run as a
# user, it runs as that user with the unpacked folder made read-only.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1/CPackConfig.cmake" ]; then
  echo "usage: $0 <configured and built build folder>" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
sanitized=$(sed -n 's/^VANTEL_SANITIZE:BOOL=//p' "$build/CMakeCache.txt")

scratch=$(mktemp -d /tmp/vantel-package-check.XXXXXX)
cleanup() {
  chmod -R u+w "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
# The program's user must reach the folders below.
chmod 0755 "$scratch"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
step() { echo "== $* =="; }

if [ "$(id -u)" -eq 0 ]; then
  run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  owner=65534:65534
else
  run_as=()
  owner=""
fi

app_id=$(sed -n 's/^set(VANTEL_APP_ID \(.*\))$/\1/p' "$source_dir/CMakeLists.txt")
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
if [ -z "$app_id" ] || [ -z "$version" ]; then
  echo "cannot read the id or the version" >&2
  exit 1
fi
icon_sizes=(16 24 32 48 64 128 256)

# The program and its libraries, and the pictures and sounds, as relative
# paths. A program folder holds both, and help/.
program_files() { printf '%s\n' Vantel vantel-server libZorvix.so libvantelgdi.so; }
data_files() {
  printf '%s\n' gazou sound web web/js web/index.html web/vantel.css web/icon.png
  for script in cards connection main table-state table-view texts; do echo "web/js/$script.js"; done
  for member in 1 2 3 4; do
    for picture in 1 2 3 4; do echo "gazou/shojo${member}_0${picture}.jpg"; done
  done
  for sound in Cafe_GM.mid b01_クリア.mid b02_ゲームオーバー.mid DX_Jingle10.mid \
               DX_Jingle14.mid yatta.wav katta.wav; do
    echo "sound/$sound"
  done
}

# Every file and folder below $1, relative to it, sorted.
listing() { (cd "$1" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort); }

expect_same_files() {  # folder, expected list (sorted), what
  if ! diff -u <(printf '%s\n' "$2") <(listing "$1") >"$scratch/diff"; then
    fail "$3 holds other files than expected (- missing, + unexpected):"
    sed -n '3,$p' "$scratch/diff" >&2
  fi
}

expect_runpath() {  # file
  local runpath
  runpath=$(readelf -d "$1" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]$/\1/p')
  [ "$runpath" = "\$ORIGIN" ] || fail "$1 has the run path '$runpath', not \$ORIGIN"
}

# Starts the program $1 headless with home $2, waits until the settings
# file $3 is complete (its first-run flag set), then ends it.
start_program() {
  local command=$1 home=$2 ini=$3 started pid waited=0
  mkdir -p "$home/runtime"
  chmod 0700 "$home/runtime"
  [ -z "$owner" ] || chown -R "$owner" "$home"
  started=$(date +%s%N)
  "${run_as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
      LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
      ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
      "$command" >"$home/program.log" 2>&1 &
  pid=$!
  # Up to 15 s: the settings are read (and on a first run written) before
  # the member selection window shows its first message and waits.
  while [ $waited -lt 150 ]; do
    if [ -s "$ini" ] && iconv -f CP932 -t UTF-8 "$ini" 2>/dev/null | grep -q '^Ocx_Flg=1'; then
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
    waited=$((waited + 1))
  done
  echo "waited $(( ($(date +%s%N) - started) / 1000000 )) ms for $ini"
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  else
    wait "$pid" && status=0 || status=$?
    fail "the program $command ended by itself (status $status):"
    cat "$home/program.log" >&2
  fi
}

# The settings file $1 is there and its factory pictures and sounds are in
# folder $2.
expect_settings() {
  local ini=$1 folder=$2 text
  if [ ! -s "$ini" ]; then
    fail "no settings file $ini"
    return
  fi
  text=$(iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r')
  for member in 1 2 3 4; do
    for picture in 1 2 3 4; do
      grep -qx "Gazo${picture}=$folder/gazou/shojo${member}_0${picture}.jpg" <<<"$text" ||
        fail "$ini: member $member picture $picture does not point into $folder/gazou"
    done
  done
  grep -qx "Oto1=$folder/sound/Cafe_GM.mid" <<<"$text" ||
    fail "$ini: the table music does not point into $folder/sound"
  while IFS= read -r file; do
    [ -f "$file" ] || fail "$ini names $file, which is not there"
  done < <(grep -o '=/.*\.\(jpg\|mid\|wav\)$' <<<"$text" | cut -c2-)
}

# ---- the package ------------------------------------------------------------------------

step "package"
started=$(date +%s%N)
(cd "$build" && cpack -G DEB -B "$scratch/cpack" >"$scratch/cpack.log" 2>&1) || {
  cat "$scratch/cpack.log" >&2
  echo "cpack failed" >&2
  exit 1
}
deb="$scratch/cpack/vantel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no package $deb" >&2; ls "$scratch/cpack" >&2; exit 1; }
echo "built $(basename "$deb") ($(stat -c %s "$deb") bytes) in $(( ($(date +%s%N) - started) / 1000000 )) ms"

for field in Package Version Architecture Section Maintainer Depends; do
  echo "$field: $(dpkg-deb -f "$deb" "$field")"
done
[ "$(dpkg-deb -f "$deb" Package)" = vantel ] || fail "the package is not called vantel"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package version is not $version"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the package section is not games"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "the package has no maintainer"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "the package has no description"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libsdl2-mixer-2.0-0 libfluidsynth3 \
              libqt6network6 libqt6websockets6 libqt6httpserver6 fluid-soundfont-gm fonts-ipafont-gothic qt6-translations-l10n; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed"
done

step "lintian"
if [ "$sanitized" = ON ]; then
  echo "skipped: a sanitizer build is no release package"
else
  # The default profile; errors and warnings fail, informational tags are
  # shown and may stay.
  lintian --fail-on error,warning --display-info "$deb" >"$scratch/lintian.log" 2>&1 &&
    lintian_status=0 || lintian_status=$?
  grep -v '^running with root privileges' "$scratch/lintian.log" || true
  [ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings (status $lintian_status)"
  echo "lintian: no error, no warning"
fi

root="$scratch/root"
dpkg -x "$deb" "$root"
program="$root/usr/lib/games/vantel"
data="$root/usr/share/games/vantel"
command="$root/usr/games/vantel"
expected=$( {
  printf '%s\n' usr usr/games usr/games/vantel usr/games/vantel-server usr/lib usr/lib/games usr/lib/games/vantel
  program_files | sed 's|^|usr/lib/games/vantel/|'
  printf '%s\n' usr/share usr/share/games usr/share/games/vantel
  data_files | sed 's|^|usr/share/games/vantel/|'
  printf '%s\n' usr/share/applications "usr/share/applications/$app_id.desktop" \
    usr/share/metainfo "usr/share/metainfo/$app_id.metainfo.xml" usr/share/icons usr/share/icons/hicolor \
    usr/share/man usr/share/man/man6 usr/share/man/man6/vantel.6.gz usr/share/man/man6/vantel-server.6.gz \
    usr/share/doc usr/share/doc/vantel usr/share/doc/vantel/copyright usr/share/doc/vantel/changelog.gz
  for size in "${icon_sizes[@]}"; do
    printf '%s\n' "usr/share/icons/hicolor/${size}x${size}" "usr/share/icons/hicolor/${size}x${size}/apps" \
      "usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  done
} | LC_ALL=C sort)
expect_same_files "$root" "$expected" "the package"
[ "$(readlink "$command")" = ../lib/games/vantel/Vantel ] ||
  fail "/usr/games/vantel does not lead to ../lib/games/vantel/Vantel"
[ "$(readlink -f "$command")" = "$program/Vantel" ] || fail "/usr/games/vantel does not reach the program"
expect_runpath "$program/Vantel"
expect_runpath "$program/vantel-server"
expect_runpath "$program/libZorvix.so"
[ "$(readlink "$root/usr/games/vantel-server")" = ../lib/games/vantel/vantel-server ] ||
  fail "/usr/games/vantel-server does not lead to ../lib/games/vantel/vantel-server"
answer=$(env -i PATH=/usr/bin:/bin ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} "$root/usr/games/vantel-server" --version 2>&1) ||
  fail "vantel-server --version failed: $answer"
[[ "$answer" == "vantel-server $version "* ]] || fail "vantel-server --version says '$answer'"
readelf -d "$program/libZorvix.so" | grep -q 'NEEDED.*\[libc\.so\.6\]' || fail "libZorvix.so is not linked against libc"
answer=$(env -i PATH=/usr/bin:/bin ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} "$command" --version 2>&1) || fail "vantel --version failed: $answer"
[ "$answer" = "Vantel $version" ] || fail "vantel --version says '$answer', not 'Vantel $version'"

step "copyright and changelog"
doc="$root/usr/share/doc/vantel"
head -n 1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in Debian's machine-readable format"
for license in GPL-3+ Expat CC0-1.0; do
  grep -qx "License: $license" "$doc/copyright" || fail "the copyright file has no $license licence paragraph"
done
zcat "$doc/changelog.gz" >"$scratch/changelog" || fail "changelog.gz is not a gzip file"
changelog_version=$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)
[ "$changelog_version" = "$version" ] || fail "the changelog's last entry is $changelog_version, not $version"
for size in "${icon_sizes[@]}"; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] ||
    fail "$icon is not a ${size}x${size} picture"
done

step "menu entry and metainfo"
desktop="$root/usr/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
for line in "Name=Sevens" "Name[ja]=７ならべ" "Exec=vantel" "Icon=$app_id" "Categories=Game;CardGame;"; do
  grep -qxF "$line" "$desktop" || fail "the menu entry lacks $line"
done
appstreamcli validate --no-net --strict --pedantic "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli validate"
appstreamcli validate-tree --no-net --strict --pedantic "$root" || fail "appstreamcli validate-tree"

step "the unpacked command, in folders its user cannot write to"
chmod -R a-w "$root/usr"
home="$scratch/home-package"
start_program "$command" "$home" "$home/.local/share/vantel/help/Vantel.ini"
expect_settings "$home/.local/share/vantel/help/Vantel.ini" "$data"
expect_same_files "$root" "$expected" "the unpacked package after a run"

step "the unpacked server serves the page from the data folder"
# On loopback and a port of the system's choosing; its journals go to a
# folder of its own outside the package.
home="$scratch/home-server"
mkdir -p "$home"
[ -z "$owner" ] || chown -R "$owner" "$home"
"${run_as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 \
    ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
    "$root/usr/games/vantel-server" --listen 127.0.0.1 --port 0 --data "$home/data" >"$home/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 1 150); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1 port \([0-9]*\) .*/\1/p' "$home/server.log")
  [ -n "$port" ] && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  fail "the unpacked vantel-server did not start:"
  cat "$home/server.log" >&2
else
  curl -sf --max-time 10 "http://127.0.0.1:$port/" -o "$home/index.html" || fail "the server did not serve /"
  cmp -s "$home/index.html" "$data/web/index.html" || fail "/ is not the package's web/index.html"
  curl -sf --max-time 10 "http://127.0.0.1:$port/web/js/main.js" -o "$home/main.js" || fail "the server did not serve /web/js/main.js"
  cmp -s "$home/main.js" "$data/web/js/main.js" || fail "/web/js/main.js is not the package's web/js/main.js"
  # The members' pictures come from the data folder's gazou/.
  curl -sf --max-time 10 "http://127.0.0.1:$port/members/1/1" -o /dev/null || fail "the server did not serve /members/1/1"
fi
kill "$server_pid" 2>/dev/null || true
wait "$server_pid" 2>/dev/null || true

# ---- a plain install into a folder --------------------------------------------------------

step "cmake --install into a folder"
installed="$scratch/installed"
cmake --install "$build" --prefix "$installed" >"$scratch/install.log"
expect_same_files "$installed" "$( { program_files; data_files; echo help; } | LC_ALL=C sort)" "the installed folder"
expect_runpath "$installed/Vantel"
expect_runpath "$installed/libZorvix.so"

step "the installed folder, copied elsewhere, run by a user who can write to it"
copied="$scratch/copied/Vantel folder"
mkdir -p "$(dirname "$copied")"
cp -a "$installed" "$copied"
[ -z "$owner" ] || chown -R "$owner" "$copied"
home="$scratch/home-folder"
start_program "$copied/Vantel" "$home" "$copied/help/Vantel.ini"
expect_settings "$copied/help/Vantel.ini" "$copied"
[ ! -e "$home/.local/share/vantel" ] || fail "a writable program folder put settings in the home folder"

step "installing again keeps the settings file"
iniCopy="$scratch/Vantel.ini.before"
cp "$copied/help/Vantel.ini" "$iniCopy"
cmake --install "$build" --prefix "$copied" >"$scratch/install-again.log"
cmp -s "$iniCopy" "$copied/help/Vantel.ini" || fail "installing again changed help/Vantel.ini"

if [ $failures -ne 0 ]; then
  echo "check-package: $failures failure(s)" >&2
  exit 1
fi
echo "check-package: all checks passed"
