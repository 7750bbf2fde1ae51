#!/usr/bin/env bash
# Installs the build folder BUILD_DIR (default: build) into a temporary prefix and checks the
# installed copy: the command line crawls a fixture site and saves it, the desktop entry and
# the metainfo validate, each manual page renders, and the desktop program starts offscreen,
# has its help and tutorial in share/ferrowyn and writes nothing beside its executable.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
work=$(mktemp -d)
server_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

prefix=$work/usr
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
# A user of its own: settings, data and temporary files all go under $work/home.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/runtime TMPDIR=$work/tmp
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
snapshot() { (cd "$prefix" && find . | sort); }
before=$(snapshot)

echo "--- the installed ferrowyn-cli crawls a fixture site and saves it"
site=$work/site
mkdir -p "$site"
printf '<title>Home</title><a href="a.htm">a</a>' >"$site/index.html"
printf '<title>A</title><a href="index.html">home</a>' >"$site/a.htm"
python3 -u -m http.server --bind 127.0.0.1 --directory "$site" 0 >"$work/server.log" 2>&1 &
server_pid=$!
port=
for _ in $(seq 100); do
  port=$(sed -nE 's/.*port ([0-9]+).*/\1/p' "$work/server.log" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the fixture server did not start"
url=http://127.0.0.1:$port/
pages=$("$prefix/bin/ferrowyn-cli" crawl "$url" --scope server --slots 1 --save "$work/saved")
expected=$(printf '%s\tHome\n%sa.htm\tA' "$url" "$url")
[ "$pages" = "$expected" ] || fail "crawl listed: $pages"
[ -s "$work/saved.fwb" ] || fail "the site was not saved"
listed=$("$prefix/bin/ferrowyn-cli" site "$work/saved.fwb" pages 2>/dev/null)
[ "$listed" = "$expected" ] || fail "the saved site lists: $listed"

echo "--- the desktop entry, metainfo and file types validate"
share=$prefix/share
desktop-file-validate "$share/applications/com.castrel.Ferrowyn.desktop"
appstreamcli validate --no-net "$share/metainfo/com.castrel.Ferrowyn.metainfo.xml"
mkdir -p "$work/mime/packages"
cp "$share/mime/packages/ferrowyn.xml" "$work/mime/packages/"
update-mime-database "$work/mime" >/dev/null 2>&1
grep -qx '50:application/x-ferrowyn-site:\*\.fwb' "$work/mime/globs2" || fail "no type for .fwb"
grep -qx '50:application/x-ferrowyn-query:\*\.fwq' "$work/mime/globs2" || fail "no type for .fwq"
grep -qx 'application/x-ferrowyn-site:application-x-ferrowyn-site' "$work/mime/icons" ||
  fail "no icon for .fwb"
[ -s "$share/icons/hicolor/scalable/mimetypes/application-x-ferrowyn-site.svg" ] ||
  fail "no icon for site files"
if [ -e gui/pictures/ferrowyn-icon.svg ]; then
  [ -s "$share/icons/hicolor/scalable/apps/com.castrel.Ferrowyn.svg" ] || fail "no SVG icon"
  for size in 16 32 48 64 128 256; do
    [ "$(file -b "$share/icons/hicolor/${size}x${size}/apps/com.castrel.Ferrowyn.png" |
        cut -d, -f1-2)" = "PNG image data, $size x $size" ] || fail "no ${size}x${size} icon"
  done
fi

echo "--- each manual page renders without warnings"
for page in "$share"/man/man1/*.1.gz; do
  warnings=$(MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q '^NAME' || fail "$page does not render"
done
bash -c "source '$share/bash-completion/completions/ferrowyn-cli' 2>/dev/null; complete -p ferrowyn-cli" \
  >/dev/null || fail "the completion registers nothing"
scripts/check-manual-commands.sh "$prefix/bin/ferrowyn-cli" <(zcat "$share/man/man1/ferrowyn-cli.1.gz")

echo "--- the installed ferrowyn starts offscreen and writes nothing beside itself"
if [ -x "$prefix/bin/ferrowyn" ]; then
  QT_QPA_PLATFORM=offscreen "$prefix/bin/ferrowyn" >"$work/program.log" 2>&1 &
  program_pid=$!
  # Started once its private working folder exists under the per-user data folder.
  working="$XDG_DATA_HOME/Castrel/Ferrowyn/temp"
  for _ in $(seq 600); do
    compgen -G "$working/*" >/dev/null && break
    sleep 0.1
  done
  compgen -G "$working/*" >/dev/null || fail "no private working folder in $working"
  # The pages are where the program looks for them from bin/ (../share/ferrowyn); they are
  # read only when a help or tutorial window opens, which needs a user.
  [ -s "$share/ferrowyn/help/1000.htm" ] || fail "no help pages in $share/ferrowyn/help"
  if [ -d tutorial ]; then
    [ -s "$share/ferrowyn/tutorial/tutorial1.htm" ] || fail "no tutorial in $share/ferrowyn"
  fi
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  program_pid=
  [ "$(snapshot)" = "$before" ] || fail "files were written into the installed tree:
$(diff <(echo "$before") <(snapshot))"
fi
echo "check-install: all checks passed"
