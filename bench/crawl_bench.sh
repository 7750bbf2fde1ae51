#!/usr/bin/env bash
# Crawl benchmark: ferrowyn-cli crawl beside wget and httrack on a local copy of a real
# documentation site, ferrowyn-cli alone on generated sites of two sizes, and (mode window)
# the same crawl through the desktop program's main window beside ferrowyn-cli. Not a test.
# Usage: bench/crawl_bench.sh [--help]
set -euo pipefail

usage() {
  cat <<'EOF'
usage: bench/crawl_bench.sh [options]
  --cli PATH        use this ferrowyn-cli instead of building one
  --build-dir DIR   where to build ferrowyn-cli (RelWithDebInfo; default build-crawlbench)
  --mode MODE       docs, generated, window or all (default all; window is not in all)
  --window PATH     mode window: use this window_crawl instead of building one
  --repeat N        ferrowyn-cli runs per site (default 3)
  --sizes "A B"     page counts of the generated sites (default "1000 10000"; mode window
                    uses the first)
  --slots N         ferrowyn-cli transfer slots, and httrack connections (default 4)
  --work DIR        working directory (default: a new one under /tmp, removed at the end)
  --keep            keep the working directory
  --https           docs mode: also serve the site over TLS (a certificate authority made
                    for the run, trusted through SSL_CERT_FILE) and crawl it with
                    'crawl https://... --https' beside each plain crawl; prints both
                    pages/s and their ratio (goal >= 0.7)
  --no-install      never run apt-get; fail when something is missing
EOF
}

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CLI=""
WINDOW=""
BUILD_DIR="$ROOT/build-crawlbench"
MODE=all
REPEAT=3
SIZES="1000 10000"
SLOTS=4
WORK=""
KEEP=0
INSTALL=1
HTTPS=0
FW_ENV=()  # env options and assignments for ferrowyn-cli runs

while [ $# -gt 0 ]; do
  case "$1" in
    --cli) CLI=$2; shift 2 ;;
    --window) WINDOW=$2; shift 2 ;;
    --build-dir) BUILD_DIR=$2; shift 2 ;;
    --mode) MODE=$2; shift 2 ;;
    --repeat) REPEAT=$2; shift 2 ;;
    --sizes) SIZES=$2; shift 2 ;;
    --slots) SLOTS=$2; shift 2 ;;
    --work) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    --https) HTTPS=1; shift ;;
    --no-install) INSTALL=0; shift ;;
    -h | --help) usage; exit 0 ;;
    *) echo "crawl_bench: unknown argument '$1'" >&2; usage >&2; exit 2 ;;
  esac
done
case "$MODE" in docs | generated | window | all) ;; *) echo "crawl_bench: bad --mode '$MODE'" >&2; exit 2 ;; esac

# The real site: PostgreSQL's manual, 1,100+ pages in one directory, all reachable by links
# from index.html, with a stylesheet and three SVG figures beside them.
DOC_PACKAGE=postgresql-doc-15
DOC_DIR=/usr/share/doc/postgresql-doc-15/html

log() { printf '[crawl_bench %(%H:%M:%S)T] %s\n' -1 "$*" >&2; }
load1() { cut -d' ' -f1 /proc/loadavg; }

# ---------------------------------------------------------------------------------------
# Tools
# ---------------------------------------------------------------------------------------
install_missing() {
  local -a missing=()
  [ -x /usr/sbin/nginx ] || command -v nginx >/dev/null || missing+=(nginx-light)
  command -v wget >/dev/null || missing+=(wget)
  [ "${NEED_HTTRACK:-1}" -eq 0 ] || command -v httrack >/dev/null || missing+=(httrack)
  [ -x /usr/bin/time ] || missing+=(time)
  if [ "$MODE" = docs ] || [ "$MODE" = all ]; then  # the real site and the other crawlers
    [ -f "$DOC_DIR/index.html" ] || missing+=("$DOC_PACKAGE")
  fi
  command -v python3 >/dev/null || missing+=(python3)
  [ "$HTTPS" -eq 0 ] || command -v openssl >/dev/null || missing+=(openssl)
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$INSTALL" -eq 0 ]; then
    echo "crawl_bench: missing: ${missing[*]} (and --no-install given)" >&2
    exit 1
  fi
  local -a sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  log "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_cli() {
  if [ -n "$CLI" ]; then
    [ -x "$CLI" ] || { echo "crawl_bench: '$CLI' is not an executable" >&2; exit 1; }
    return 0
  fi
  local -a launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$ROOT"
  fi
  log "building ferrowyn-cli (RelWithDebInfo) in $BUILD_DIR"
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    mkdir -p "$BUILD_DIR"
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DFERROWYN_GUI=OFF "${launcher[@]}" >"$BUILD_DIR/crawl_bench_cmake.log" 2>&1 ||
      { cat "$BUILD_DIR/crawl_bench_cmake.log" >&2; exit 1; }
  fi
  cmake --build "$BUILD_DIR" -j2 --target ferrowyn-cli
  CLI=$(find "$BUILD_DIR" -name ferrowyn-cli -type f -perm -u+x | head -n1)
  [ -n "$CLI" ] || { echo "crawl_bench: no ferrowyn-cli in $BUILD_DIR" >&2; exit 1; }
}

# The window crawl needs the desktop program's libraries: the same build directory, with
# the windows and the benchmarks switched on.
build_window() {
  if [ -n "$WINDOW" ]; then
    [ -x "$WINDOW" ] || { echo "crawl_bench: '$WINDOW' is not an executable" >&2; exit 1; }
    return 0
  fi
  log "building window_crawl (RelWithDebInfo) in $BUILD_DIR"
  cmake -S "$ROOT" -B "$BUILD_DIR" -DFERROWYN_GUI=ON -DFERROWYN_BENCH=ON \
    >"$BUILD_DIR/crawl_bench_cmake.log" 2>&1 || { cat "$BUILD_DIR/crawl_bench_cmake.log" >&2; exit 1; }
  cmake --build "$BUILD_DIR" -j2 --target window_crawl
  WINDOW=$(find "$BUILD_DIR" -name window_crawl -type f -perm -u+x | head -n1)
  [ -n "$WINDOW" ] || { echo "crawl_bench: no window_crawl in $BUILD_DIR" >&2; exit 1; }
}

# ---------------------------------------------------------------------------------------
# Working directory, nginx
# ---------------------------------------------------------------------------------------
NGINX_PID=""
cleanup() {
  if [ -n "$NGINX_PID" ] && kill -0 "$NGINX_PID" 2>/dev/null; then
    kill "$NGINX_PID" 2>/dev/null || true
    wait "$NGINX_PID" 2>/dev/null || true
  fi
  if [ "$KEEP" -eq 0 ] && [ -n "${WORK_MADE:-}" ]; then
    rm -rf "$WORK"
  elif [ -n "$WORK" ]; then
    log "working directory kept: $WORK"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

make_work() {
  if [ -z "$WORK" ]; then
    WORK=$(mktemp -d /tmp/crawlbench.XXXXXX)
    WORK_MADE=1
  fi
  mkdir -p "$WORK"/{site,nginx,runs,tmp,home/.config,home/.local/share}
  # nginx's workers drop to an unprivileged user when started as root: they must be able
  # to read the served tree.
  chmod 755 "$WORK" "$WORK/site"
}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# make_certificates: a certificate authority for this run and a server certificate it
# signed for localhost and 127.0.0.1, in $WORK/tls (ca.pem, server.pem, server.key).
make_certificates() {
  local dir="$WORK/tls"
  mkdir -p "$dir"
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" -days 30 -subj "/CN=crawl bench CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    2>"$dir/openssl.log"
  openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -keyout "$dir/server.key" -out "$dir/server.csr" -subj "/CN=localhost" 2>>"$dir/openssl.log"
  printf 'basicConstraints = CA:FALSE\nsubjectAltName = DNS:localhost,IP:127.0.0.1\n' \
    >"$dir/server.ext"
  openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -CAcreateserial -days 30 -extfile "$dir/server.ext" -out "$dir/server.pem" \
    2>>"$dir/openssl.log"
  chmod 644 "$dir"/*
  chmod 755 "$dir"
}

start_nginx() {
  PORT=$(free_port)
  TLS_PORT=""
  local prefix="$WORK/nginx" tls_server=""
  mkdir -p "$prefix/logs" "$prefix/tmp"
  if [ "$HTTPS" -eq 1 ]; then
    make_certificates
    TLS_PORT=$(free_port)
    # The same tree over TLS. Sessions may be resumed, as a public server allows.
    tls_server="  server {
    listen 127.0.0.1:$TLS_PORT ssl;
    server_name localhost;
    ssl_certificate $WORK/tls/server.pem;
    ssl_certificate_key $WORK/tls/server.key;
    ssl_session_cache shared:bench:10m;
    root $WORK/site;
    index index.html;
  }"
  fi
  cat >"$prefix/nginx.conf" <<EOF
# Private server for the crawl benchmark; nothing of the system's nginx setup is read.
daemon off;
worker_processes 2;
pid $prefix/nginx.pid;
error_log $prefix/logs/error.log warn;
events { worker_connections 1024; }
http {
  types {
    text/html html htm;
    text/css css;
    image/svg+xml svg;
  }
  default_type application/octet-stream;
  access_log off;
  sendfile on;
  client_body_temp_path $prefix/tmp/body;
  proxy_temp_path $prefix/tmp/proxy;
  fastcgi_temp_path $prefix/tmp/fastcgi;
  uwsgi_temp_path $prefix/tmp/uwsgi;
  scgi_temp_path $prefix/tmp/scgi;
  server {
    listen 127.0.0.1:$PORT;
    server_name localhost;
    root $WORK/site;
    index index.html;
  }
$tls_server
}
EOF
  local nginx_bin
  nginx_bin=$(command -v nginx || echo /usr/sbin/nginx)
  "$nginx_bin" -p "$prefix" -c "$prefix/nginx.conf" -e "$prefix/logs/error.log" &
  NGINX_PID=$!
  local tries=0
  until (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 "$NGINX_PID" 2>/dev/null; then
      echo "crawl_bench: nginx did not start on 127.0.0.1:$PORT" >&2
      cat "$prefix/logs/error.log" >&2 || true
      exit 1
    fi
    sleep 0.1
  done
  if [ -n "$TLS_PORT" ]; then
    tries=0
    until (exec 3<>"/dev/tcp/127.0.0.1/$TLS_PORT") 2>/dev/null; do
      tries=$((tries + 1))
      if [ $tries -gt 100 ]; then
        echo "crawl_bench: nginx did not listen on 127.0.0.1:$TLS_PORT" >&2
        exit 1
      fi
      sleep 0.1
    done
  fi
  log "nginx (pid $NGINX_PID) serves $WORK/site on 127.0.0.1:$PORT${TLS_PORT:+ and over TLS on $TLS_PORT}"
}

# ---------------------------------------------------------------------------------------
# Helpers in Python: the link-following prediction, the generated site, set comparison
# ---------------------------------------------------------------------------------------
write_helpers() {
  cat >"$WORK/predict.py" <<'EOF'
"""Predicts the pages a link-following crawl retrieves: breadth first from the start page,
following href attributes (any tag) and frame/iframe src, fragments dropped, staying in the
start page's directory and below, following links whose name has no extension or one of the
crawler's page types. Prints one served path per line (a directory as DIR/index.html)."""
import html.parser, os, sys, urllib.parse
from collections import deque

docroot, start = sys.argv[1], sys.argv[2]  # start: a path on the server such as /pg/
TYPES = (".htm", ".html", ".shtml", ".shtm", ".txt", ".asp", ".stm")
start_dir = start if start.endswith("/") else start.rsplit("/", 1)[0] + "/"

class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.found = []
    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if value and (name == "href" or (name == "src" and tag in ("frame", "iframe"))):
                self.found.append(value.strip())

def page_of(path):
    return path + "index.html" if path.endswith("/") else path

seen, missing, order = set(), set(), []
queue = deque([page_of(start)])
seen.add(page_of(start))
while queue:
    path = queue.popleft()
    local = os.path.join(docroot, urllib.parse.unquote(path).lstrip("/"))
    if not os.path.isfile(local):
        missing.add(path)
        continue
    order.append(path)
    parser = Links()
    with open(local, "rb") as f:
        parser.feed(f.read().decode("latin-1"))
    base = "http://host" + path
    for value in parser.found:
        url = urllib.parse.urldefrag(urllib.parse.urljoin(base, value))[0]
        parts = urllib.parse.urlsplit(url)
        if parts.scheme != "http" or parts.netloc != "host" or parts.query:
            continue
        target = parts.path or "/"
        if not target.startswith(start_dir):
            continue
        name = target.rsplit("/", 1)[1]
        if "." in name and not name.lower().endswith(TYPES):
            continue
        target = page_of(target)
        if target not in seen:
            seen.add(target)
            queue.append(target)
for path in order:
    print(path)
print(f"predict: {len(order)} pages reachable, {len(missing)} linked but missing", file=sys.stderr)
EOF

  cat >"$WORK/generate.py" <<'EOF'
"""Writes a synthetic site of N pages under DIR: index.html and pages d<k>/p<i>.html, 100 per
directory, each linked from its parent in a tree of fan-out 8, each linking back to its parent
and the home page and across to 3 other pages, each with about 3 KB of text."""
import os, random, sys

out, n = sys.argv[1], int(sys.argv[2])
rng = random.Random(n)
WORDS = ("crawl slot page queue link store record index query keyword site map title "
         "server directory scope level limit transfer worker timer result mail text").split()

def path(i):
    return "index.html" if i == 0 else f"d{i // 100}/p{i}.html"

def rel(src, dst):
    return os.path.relpath(path(dst), os.path.dirname(path(src)) or ".")

for i in range(n):
    children = [c for c in range(8 * i + 1, 8 * i + 9) if c < n]
    links = children + ([(i - 1) // 8, 0] if i else []) + [rng.randrange(n) for _ in range(3)]
    body = []
    for p in range(6):
        body.append("<p>" + " ".join(rng.choice(WORDS) for _ in range(80)) + "</p>")
    items = "\n".join(f'<li><a href="{rel(i, j)}">Page {j}</a></li>' for j in links)
    text = (f"<!DOCTYPE html>\n<html><head><title>Generated page {i}</title></head>\n"
            f"<body><h1>Page {i}</h1>\n<ul>\n{items}\n</ul>\n" + "\n".join(body) +
            "\n</body></html>\n")
    target = os.path.join(out, path(i))
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "w") as f:
        f.write(text)
EOF

  cat >"$WORK/compare.py" <<'EOF'
"""Compares a set of retrieved pages (URLs, or files under a directory) with the predicted
paths. Prints 'PAGES MISSING EXTRA' and writes the differences to OUT.diff."""
import os, sys, urllib.parse

kind, source, predicted_file, prefix, out = sys.argv[1:6]
predicted = set(open(predicted_file).read().split())
got = []
if kind == "urls":  # ferrowyn-cli's page list: URL, tab, title
    for line in open(source, encoding="latin-1"):
        url = line.split("\t", 1)[0].strip()
        if not url:
            continue
        path = urllib.parse.urlsplit(url).path or "/"
        if path.endswith("/"):
            path += "index.html"
        elif "." not in path.rsplit("/", 1)[1]:
            path += "/index.html"  # a folded directory link
        got.append(path)
else:  # a mirror directory: html files below it, as paths on the server
    for dirpath, _, files in os.walk(source):
        for name in files:
            if name.endswith((".html", ".htm")):
                rel = os.path.relpath(os.path.join(dirpath, name), source)
                got.append(prefix + rel.replace(os.sep, "/"))
seen = set(got)
missing = sorted(predicted - seen)
extra = sorted(seen - predicted)
dups = len(got) - len(seen)
with open(out + ".diff", "w") as f:
    for p in missing:
        f.write(f"missing {p}\n")
    for p in extra:
        f.write(f"extra {p}\n")
    f.write(f"duplicates {dups}\n")
print(len(got), len(missing), len(extra))
EOF
}

# ---------------------------------------------------------------------------------------
# Measuring
# ---------------------------------------------------------------------------------------
# measure NAME CMD...: runs CMD under /usr/bin/time -v with stdout and stderr in runs/NAME.*;
# sets WALL (seconds), RSS_MB and RC.
measure() {
  local name=$1
  shift
  local t="$WORK/runs/$name.time"
  RC=0
  /usr/bin/time -v -o "$t" "$@" >"$WORK/runs/$name.out" 2>"$WORK/runs/$name.err" || RC=$?
  WALL=$(awk -F': ' '/Elapsed \(wall clock\)/ {
      n = split($2, a, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + a[i]; printf "%.2f", s }' "$t")
  RSS_MB=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$t")
}

ROWS=()
# row TOOL SITE PAGES PREDICTED MISSING EXTRA WALL RSS LOAD NOTE
row() {
  local pps
  pps=$(awk -v p="$3" -v w="$7" 'BEGIN { if (w > 0) printf "%.1f", p / w; else print "-" }')
  ROWS+=("$(printf '%-10s %-11s %6s %6s %5s %5s %8s %8s %8s %5s  %s' \
    "$1" "$2" "$3" "$4" "$5" "$6" "$7" "$pps" "$8" "$9" "${10}")")
  LAST_PPS=$pps
}

# Processor time nginx's workers have used so far, in nanoseconds (0 when unknown).
nginx_cpu_ns() {
  local total=0 worker ns
  [ -n "$NGINX_PID" ] || { echo 0; return; }
  for worker in $(pgrep -P "$NGINX_PID" 2>/dev/null); do
    read -r ns _ <"/proc/$worker/schedstat" 2>/dev/null || continue
    total=$((total + ns))
  done
  echo "$total"
}

run_ferrowyn() {  # run_ferrowyn NAME URL [MORE CRAWL ARGUMENTS]
  local name=$1 url=$2
  shift 2
  # A private, empty settings store: the defaults apply, whatever the user has set.
  rm -rf "$WORK/home" "$WORK/tmp"
  mkdir -p "$WORK/home/.config" "$WORK/home/.local/share" "$WORK/tmp"
  local before server_before server_after
  before=$(load1)
  server_before=$(nginx_cpu_ns)
  measure "$name" env "${FW_ENV[@]}" HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" \
    XDG_DATA_HOME="$WORK/home/.local/share" TMPDIR="$WORK/tmp" \
    "$CLI" crawl "$url" --slots "$SLOTS" --scope directory "$@"
  server_after=$(nginx_cpu_ns)
  FW_LOAD=$before
  # Processor seconds of the client (user + system) and of nginx's workers: on 2 cores a
  # run whose sum comes near twice its wall time is bound by processing, not by waiting.
  FW_NOTE="exit $RC: $(grep -v '^  Search' "$WORK/runs/$name.err" | tail -n1)$(awk -F': ' \
    -v server="$((server_after - server_before))" '/User time/ { u = $2 } /System time/ { s = $2 }
      END { printf "; cpu client %.2f s, nginx %.2f s", u + s, server / 1e9 }' \
    "$WORK/runs/$name.time")"
}

run_window() {  # run_window NAME URL: as run_ferrowyn, through the main window
  local name=$1 url=$2
  rm -rf "$WORK/home" "$WORK/tmp"
  mkdir -p "$WORK/home/.config" "$WORK/home/.local/share" "$WORK/tmp"
  local before
  before=$(load1)
  measure "$name" env HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" \
    XDG_DATA_HOME="$WORK/home/.local/share" TMPDIR="$WORK/tmp" QT_QPA_PLATFORM=offscreen \
    "$WINDOW" "$url" "$SLOTS"
  FW_LOAD=$before
  FW_NOTE="exit $RC: $(tail -n1 "$WORK/runs/$name.err")"
}

compare() {  # compare KIND SOURCE PREDICTED PREFIX NAME -> CMP_PAGES CMP_MISSING CMP_EXTRA
  read -r CMP_PAGES CMP_MISSING CMP_EXTRA < <(python3 "$WORK/compare.py" "$1" "$2" "$3" "$4" \
    "$WORK/runs/$5")
}

bench_docs() {
  log "copying $DOC_DIR to the served tree"
  rm -rf "$WORK/site/pg"
  cp -r "$DOC_DIR" "$WORK/site/pg"
  chmod -R a+rX "$WORK/site/pg"
  local start="/pg/" url="http://127.0.0.1:$PORT/pg/"
  python3 "$WORK/predict.py" "$WORK/site" "$start" >"$WORK/runs/docs.predicted"
  local predicted
  predicted=$(wc -l <"$WORK/runs/docs.predicted")
  log "docs: $(find "$WORK/site/pg" -name '*.html' | wc -l) html files, $predicted predicted"

  local i best_plain=0 best_tls=0
  for i in $(seq 1 "$REPEAT"); do
    log "docs: ferrowyn-cli run $i (load $(load1))"
    run_ferrowyn "docs-ferrowyn-$i" "$url"
    compare urls "$WORK/runs/docs-ferrowyn-$i.out" "$WORK/runs/docs.predicted" "" "docs-ferrowyn-$i"
    row ferrowyn "docs #$i" "$CMP_PAGES" "$predicted" "$CMP_MISSING" "$CMP_EXTRA" "$WALL" \
      "$RSS_MB" "$FW_LOAD" "$FW_NOTE"
    best_plain=$(best_of "$best_plain" "$LAST_PPS")
    if [ -n "$TLS_PORT" ]; then
      # Right after the plain run, so that both see the same load.
      log "docs: ferrowyn-cli run $i over TLS (load $(load1))"
      # The run's authority alone is trusted (an SSL_CERT_DIR of the caller is dropped).
      FW_ENV=(-u SSL_CERT_DIR SSL_CERT_FILE="$WORK/tls/ca.pem")
      run_ferrowyn "docs-https-$i" "https://localhost:$TLS_PORT/pg/" --https
      FW_ENV=()
      compare urls "$WORK/runs/docs-https-$i.out" "$WORK/runs/docs.predicted" "" "docs-https-$i"
      row ferrowyn "https #$i" "$CMP_PAGES" "$predicted" "$CMP_MISSING" "$CMP_EXTRA" "$WALL" \
        "$RSS_MB" "$FW_LOAD" "$FW_NOTE"
      best_tls=$(best_of "$best_tls" "$LAST_PPS")
    fi
  done
  if [ -n "$TLS_PORT" ]; then
    HTTPS_RATIO=$(awk -v p="$best_plain" -v t="$best_tls" \
      'BEGIN { printf "docs, best pages/s: plain %.1f, TLS %.1f; ratio %.2f (goal >= 0.7)",
               p, t, (p > 0 ? t / p : 0) }')
  fi

  log "docs: wget (load $(load1))"
  local load dir="$WORK/runs/docs-wget.mirror"
  load=$(load1)
  rm -rf "$dir"
  measure docs-wget wget --recursive --level=inf --no-parent -nv -nH -P "$dir" "$url"
  # wget exits 8 when the server answered an error for some URL (robots.txt counts).
  compare files "$dir/pg" "$WORK/runs/docs.predicted" "/pg/" docs-wget
  row wget docs "$CMP_PAGES" "$predicted" "$CMP_MISSING" "$CMP_EXTRA" "$WALL" "$RSS_MB" \
    "$load" "exit $RC; one connection"

  log "docs: httrack (load $(load1))"
  dir="$WORK/runs/docs-httrack.mirror"
  load=$(load1)
  rm -rf "$dir"
  # Even with --disable-security-limits, any non-zero -%c (new connections per second: 100,
  # 1000) held this httrack (3.49) to about one page a second; -%c0 lifts that cap. -A: a
  # 100 MB/s rate cap. -o0: no error page is written for a 404.
  measure docs-httrack httrack "$url" -O "$dir" -q -o0 -c"$SLOTS" --disable-security-limits \
    -%c0 -A100000000
  compare files "$dir/127.0.0.1_$PORT/pg" "$WORK/runs/docs.predicted" "/pg/" docs-httrack
  row httrack docs "$CMP_PAGES" "$predicted" "$CMP_MISSING" "$CMP_EXTRA" "$WALL" "$RSS_MB" \
    "$load" "exit $RC; $SLOTS connections"
}

# prepare_generated N: the generated site of N pages under /gen-N/ and its prediction;
# sets PREDICTED.
prepare_generated() {
  local n=$1 dir="$WORK/site/gen-$1"
  if [ ! -f "$dir/index.html" ]; then
    log "generating a site of $n pages"
    python3 "$WORK/generate.py" "$dir" "$n"
    chmod -R a+rX "$dir"
  fi
  python3 "$WORK/predict.py" "$WORK/site" "/gen-$n/" >"$WORK/runs/gen-$n.predicted"
  PREDICTED=$(wc -l <"$WORK/runs/gen-$n.predicted")
}

# generated_run TOOL RUNNER N I: one crawl of the generated site of N pages by RUNNER
# (run_ferrowyn or run_window), compared and added as a row; LAST_PPS is its pages/s.
generated_run() {
  local tool=$1 runner=$2 n=$3 i=$4 name="gen-$3-$1-$4"
  log "generated $n: $tool run $i (load $(load1))"
  "$runner" "$name" "http://127.0.0.1:$PORT/gen-$n/"
  compare urls "$WORK/runs/$name.out" "$WORK/runs/gen-$n.predicted" "" "$name"
  row "$tool" "gen-$n #$i" "$CMP_PAGES" "$PREDICTED" "$CMP_MISSING" "$CMP_EXTRA" "$WALL" \
    "$RSS_MB" "$FW_LOAD" "$FW_NOTE"
}

best_of() { awk -v a="$1" -v b="$2" 'BEGIN { print (b + 0 > a + 0) ? b : a }'; }

bench_generated() {
  local n pps_list=() i
  for n in $SIZES; do
    prepare_generated "$n"
    local best=0
    for i in $(seq 1 "$REPEAT"); do
      generated_run ferrowyn run_ferrowyn "$n" "$i"
      best=$(best_of "$best" "$LAST_PPS")
    done
    pps_list+=("$n:$best")
  done
  SCALING=""
  if [ ${#pps_list[@]} -ge 2 ]; then
    local first=${pps_list[0]} last=${pps_list[${#pps_list[@]} - 1]}
    SCALING=$(awk -v a="${first#*:}" -v b="${last#*:}" -v na="${first%%:*}" -v nb="${last%%:*}" \
      'BEGIN { printf "best pages/s: %s pages %.1f, %s pages %.1f; ratio %.2f (goal <= 1.5)",
               na, a, nb, b, (b > 0 ? a / b : 0) }')
  fi
}

# The first generated size crawled by ferrowyn-cli and through the main window in turn.
bench_window() {
  local n=${SIZES%% *} i best_cli=0 best_window=0 best_own=0 own
  prepare_generated "$n"
  for i in $(seq 1 "$REPEAT"); do
    generated_run ferrowyn run_ferrowyn "$n" "$i"
    best_cli=$(best_of "$best_cli" "$LAST_PPS")
    generated_run window run_window "$n" "$i"
    best_window=$(best_of "$best_window" "$LAST_PPS")
    # The crawl alone, without building the windows: the window's own clock.
    own=$(awk '/^window crawl:/ { print $(NF - 1) }' "$WORK/runs/gen-$n-window-$i.err")
    best_own=$(best_of "$best_own" "$own")
  done
  SCALING=$(awk -v c="$best_cli" -v w="$best_window" -v o="$best_own" -v n="$n" \
    'BEGIN { printf "%s pages, best pages/s: ferrowyn-cli %.1f (wall); window %.1f (wall, ratio %.2f), %.1f (crawl alone, ratio %.2f; goal >= 0.8)",
             n, c, w, (c > 0 ? w / c : 0), o, (c > 0 ? o / c : 0) }')
}

# ---------------------------------------------------------------------------------------
# bench/goals_bench.sh sources this file for its helpers and runs its own round.
if [ "${BASH_SOURCE[0]}" != "$0" ]; then return 0; fi

install_missing
build_cli
[ "$MODE" = window ] && build_window
make_work
write_helpers
start_nginx
log "ferrowyn-cli: $CLI; machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
START_LOAD=$(cut -d' ' -f1-3 /proc/loadavg)

SCALING=""
HTTPS_RATIO=""
case "$MODE" in
  docs) bench_docs ;;
  generated) bench_generated ;;
  window) bench_window ;;
  all) bench_docs; bench_generated ;;
esac

echo
echo "Crawl benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'); load average at start $START_LOAD," \
  "at end $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
echo "ferrowyn-cli: crawl URL --slots $SLOTS --scope directory (settings: private, defaults)"
printf '%-10s %-11s %6s %6s %5s %5s %8s %8s %8s %5s  %s\n' tool site pages predict miss extra \
  wall_s pages/s peakMB load note
for r in "${ROWS[@]}"; do echo "$r"; done
[ -n "$HTTPS_RATIO" ] && echo "ferrowyn-cli over TLS: $HTTPS_RATIO"
[ -n "$SCALING" ] && echo "generated sites, $([ "$MODE" = window ] || echo 'ferrowyn-cli ')$SCALING"
echo "details (stdout, stderr, time -v, set differences): $WORK/runs$([ "$KEEP" -eq 1 ] || echo ' (removed; use --keep)')"
