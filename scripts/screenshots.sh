#!/usr/bin/env bash
# Writes pictures of the desktop program into docs/screenshots/: the Getting
# Started window, the main window during and after a crawl of a small fixture site
# served on 127.0.0.1, the site map page, a query result in the viewer, the query
# report's print preview, the wizards' pages, the setup dialog's pages, each dialog,
# the splash window, the tutorial and the about box; and copies the pictures that the
# tutorial's pages show into tutorial/. Builds what it needs first.
# Runs on Qt's offscreen platform, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir=${BUILD_DIR:-build}
out=$root/docs/screenshots

if [[ ! -f $build_dir/build.ninja ]]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
fi
cmake --build "$build_dir" -j "$(nproc)" --target ferrowyn-screenshots ferrowyn_help ferrowyn_tutorial
tool=$(find "$build_dir" -name ferrowyn-screenshots -type f -perm -u+x | head -n 1)

work=$(mktemp -d)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The fixture: a start page, a few quick pages and four slow ones, so that the
# picture during the crawl shows every transfer slot at work.
site=$work/site
mkdir -p "$site/guide"
page() {  # file title body
  printf '<html><head><title>%s</title></head><body>%s</body></html>\n' "$2" "$3" >"$site/$1"
}
links=""
for n in 1 2 3 4 5 6; do
  page "guide/chapter$n.htm" "Guide, chapter $n" "Ferrowyn searches one web site. Chapter $n of the guide. <a href=\"../index.htm\">Home</a>"
  links+="<a href=\"guide/chapter$n.htm\">Chapter $n</a> "
done
for n in 1 2 3 4; do
  page "slow$n.htm" "Archive $n" "An archived page about searching, number $n."
  links+="<a href=\"slow$n.htm\">Archive $n</a> "
done
page index.htm "Fixture site" "Welcome to the fixture site for searching. $links <a href=\"mailto:info@site.example\">Mail</a>"

cat >"$work/serve.py" <<'PY'
import functools, http.server, socketserver, sys, time

class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if "/slow" in self.path:
            time.sleep(2)  # keeps the slots busy for the picture
        return super().do_GET()
    def log_message(self, *args):
        pass

class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

server = Server(("127.0.0.1", 0), functools.partial(Handler, directory=sys.argv[1]))
print(server.server_address[1], flush=True)
server.serve_forever()
PY
python3 "$work/serve.py" "$site" >"$work/port" &
server_pid=$!
for _ in $(seq 50); do [[ -s $work/port ]] && break; sleep 0.1; done
port=$(cat "$work/port")

mkdir -p "$out"
XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen \
  "$tool" "$out" "http://127.0.0.1:$port/index.htm" "search"
echo "pictures in $out:"
ls "$out"
for picture in main-window-crawl main-window-results site-map viewer-query-result \
  setup-1-restrictions; do
  cp "$out/$picture.png" "$root/tutorial/"
done
echo "the tutorial's pictures copied into $root/tutorial"
