#!/usr/bin/env bash
# One round of every query and crawl goal: ferrowyn-cli query on a real documentation site
# beside grep (and rg when installed) over the same pages as files, four query slots against
# one, crawl memory per page, and a large generated site (query beside grep with memory, the
# crawl's cost per page and its memory). Not a test. Reuses bench/crawl_bench.sh's server,
# site generator and measuring helpers.
# Usage: bench/goals_bench.sh [--help]
set -euo pipefail

goals_usage() {
  cat <<'EOF'
usage: bench/goals_bench.sh [options]
  --cli PATH        use this ferrowyn-cli instead of building one
  --build-dir DIR   where to build ferrowyn-cli (RelWithDebInfo; default build-crawlbench)
  --repeat N        runs of each query and tool; the best wall time counts (default 3)
  --big N           pages of the large generated site (default 100000; 0 skips it)
  --crawls N        runs of each crawl; the best wall and processor times count, and the
                    highest peak memory (default 1: a 100,000-page crawl takes half a minute)
  --work DIR        working directory (default: a new one under /tmp, removed at the end)
  --keep            keep the working directory
  --no-install      never run apt-get; fail when something is missing
  --nice N          run every measured command at this niceness (default 0). The query
                    workers lower themselves to nice 19: on a machine busy with other work
                    at nice 0 they wait for the processor most of the time, so a fair
                    comparison there runs every tool, grep and rg too, at nice 19
EOF
}

G_CLI="" G_BUILD="" G_REPEAT=3 G_CRAWLS=1 G_BIG=100000 G_WORK="" G_KEEP=0 G_INSTALL=1 G_NICE=0
while [ $# -gt 0 ]; do
  case "$1" in
    --cli) G_CLI=$2; shift 2 ;;
    --build-dir) G_BUILD=$2; shift 2 ;;
    --repeat) G_REPEAT=$2; shift 2 ;;
    --big) G_BIG=$2; shift 2 ;;
    --crawls) G_CRAWLS=$2; shift 2 ;;
    --work) G_WORK=$2; shift 2 ;;
    --keep) G_KEEP=1; shift ;;
    --no-install) G_INSTALL=0; shift ;;
    --nice) G_NICE=$2; shift 2 ;;
    -h | --help) goals_usage; exit 0 ;;
    *) echo "goals_bench: unknown argument '$1'" >&2; goals_usage >&2; exit 2 ;;
  esac
done

set --
NEED_HTTRACK=0
# shellcheck source=bench/crawl_bench.sh
source "$(dirname "${BASH_SOURCE[0]}")/crawl_bench.sh"
CLI=$G_CLI
[ -n "$G_BUILD" ] && BUILD_DIR=$G_BUILD
WORK=$G_WORK
KEEP=$G_KEEP
INSTALL=$G_INSTALL
SLOTS=4

log() { printf '[goals_bench %(%H:%M:%S)T] %s\n' -1 "$*" >&2; }

OUT=()
say() { OUT+=("$*"); log "$*"; }

# "${FW[@]}" ARGS...: ferrowyn-cli with a private, empty settings store.
FW=()
fresh_home() {
  FW=(env HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
    XDG_DATA_HOME="$WORK/home/.local/share" TMPDIR="$WORK/tmp" "$CLI")
  rm -rf "$WORK/home" "$WORK/tmp"
  mkdir -p "$WORK/home/.config" "$WORK/home/.local/share" "$WORK/tmp"
}

# best NAME CMD...: runs CMD G_REPEAT times (a query at least 10 times: it takes a few
# hundredths of a second); BEST_WALL is the shortest wall time (to the millisecond: the
# clock around the run, since /usr/bin/time counts hundredths), BEST_CPU the processor
# time (user + system), BEST_RSS the largest peak memory (MB), BEST_OUT the standard output
# of the last run. The processor time is the mean of 5 more runs under `perf stat` where it
# works (to the millisecond), otherwise that of the fastest run from /usr/bin/time.
best() {
  local name=$1 i start wall cpu runs=$G_REPEAT
  shift
  [ "$runs" -ge 10 ] || runs=10
  BEST_WALL="" BEST_CPU="" BEST_RSS=0
  for i in $(seq 1 "$runs"); do
    start=$EPOCHREALTIME
    measure "$name-$i" nice -n "$G_NICE" "$@"
    wall=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')
    cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.3f", s }' \
      "$WORK/runs/$name-$i.time")
    if awk -v a="$BEST_WALL" -v b="$wall" 'BEGIN { exit !(a == "" || b + 0 < a + 0) }'; then
      BEST_WALL=$wall BEST_CPU=$cpu
    fi
    BEST_RSS=$(awk -v a="$BEST_RSS" -v b="$RSS_MB" 'BEGIN { print (b + 0 > a + 0) ? b : a }')
  done
  BEST_OUT="$WORK/runs/$name-$runs.out"
  if perf stat -x, -e task-clock -o "$WORK/runs/$name.perf" -r 5 nice -n "$G_NICE" "$@" \
    >/dev/null 2>&1; then
    cpu=$(awk -F, '/task-clock/ { printf "%.3f", $1 / 1000 }' "$WORK/runs/$name.perf")
    [ -z "$cpu" ] || BEST_CPU=$cpu
  fi
}

# The goals, one line each, printed as a table at the end.
GOALS=()
goal() {  # goal TEXT FIGURE MET(yes/no)
  GOALS+=("$(printf '%-52s %-34s %s' "$1" "$2" "$3")")
}
met() { awk -v a="$1" -v b="$2" 'BEGIN { print (a + 0 <= b + 0) ? "yes" : "no" }'; }

# crawl_site NAME URL FILE: crawls with 4 transfer slots and saves the site as FILE; sets
# CRAWL_WALL, CRAWL_CPU (user + system seconds), CRAWL_RSS (MB) and CRAWL_PAGES.
# crawl_site NAME URL FILE: crawls URL into FILE G_CRAWLS times; the best wall and the best
# processor time count, and the highest peak memory of the runs.
crawl_site() {
  local name=$1 url=$2 file=$3 i cpu
  CRAWL_WALL="" CRAWL_CPU="" CRAWL_RSS=0
  for ((i = 1; i <= G_CRAWLS; i++)); do
    rm -f "$file"
    fresh_home
    measure "$name" nice -n "$G_NICE" "${FW[@]}" crawl "$url" --slots 4 --scope directory --save "$file"
    [ "$RC" -eq 0 ] || { echo "goals_bench: crawl of $url failed ($RC)" >&2; tail "$WORK/runs/$name.err" >&2; exit 1; }
    cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.2f", s }' "$WORK/runs/$name.time")
    read -r CRAWL_WALL CRAWL_CPU CRAWL_RSS < <(awk -v w="$WALL" -v c="$cpu" -v r="$RSS_MB" \
      -v bw="$CRAWL_WALL" -v bc="$CRAWL_CPU" -v br="$CRAWL_RSS" 'BEGIN {
        if (bw == "" || w + 0 < bw + 0) bw = w
        if (bc == "" || c + 0 < bc + 0) bc = c
        if (r + 0 > br + 0) br = r
        print bw, bc, br }')
    CRAWL_PAGES=$(wc -l <"$WORK/runs/$name.out")
  done
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# query_vs_grep LABEL SITEFILE DIR KEYWORDS GREPARGS...: ferrowyn-cli query with 4 slots
# beside grep -r -F -i -c (and rg) over DIR.
query_vs_grep() {
  local label=$1 site=$2 dir=$3 keywords=$4
  shift 4
  local -a flags=()
  [ "$label" = "${label%all-word}" ] || flags=(--all --word)
  fresh_home
  best "q-$label-fw" "${FW[@]}" query "$site" "$keywords" --slots 4 "${flags[@]}"
  local fw_wall=$BEST_WALL fw_cpu=$BEST_CPU fw_rss=$BEST_RSS rows
  rows=$(wc -l <"$BEST_OUT")
  best "q-$label-grep" grep -r -F -i -c "$@" "$dir"
  local grep_wall=$BEST_WALL grep_cpu=$BEST_CPU grep_rss=$BEST_RSS
  local rg_text="rg: not installed"
  if command -v rg >/dev/null; then
    best "q-$label-rg" rg -F -i -c "$@" "$dir"
    rg_text=$(printf 'rg %6.3f s (cpu %5.3f) %6.1f MB' "$BEST_WALL" "$BEST_CPU" "$BEST_RSS")
  fi
  local r
  r=$(ratio "$fw_wall" "$grep_wall")
  say "$(printf '%-28s ferrowyn %6.3f s (cpu %5.3f) %6.1f MB (%5s rows) | grep %6.3f s (cpu %5.3f) %6.1f MB | %s | ferrowyn/grep %s' \
    "$label" "$fw_wall" "$fw_cpu" "$fw_rss" "$rows" "$grep_wall" "$grep_cpu" "$grep_rss" \
    "$rg_text" "$r")"
  QUERY_RSS=$fw_rss
  goal "query $label: as fast as grep" "$r x grep ($fw_wall s / $grep_wall s)" "$(met "$r" 1)"
}

# slots_ratio LABEL SITEFILE KEYWORDS: one query slot against four.
slots_ratio() {
  local label=$1 site=$2 keywords=$3
  fresh_home
  best "s-$label-1" "${FW[@]}" query "$site" "$keywords" --slots 1
  local one=$BEST_WALL one_rss=$BEST_RSS
  local one_cpu=$BEST_CPU r
  best "s-$label-4" "${FW[@]}" query "$site" "$keywords" --slots 4
  r=$(ratio "$one" "$BEST_WALL")
  say "$(printf '%-28s 1 slot %6.3f s (cpu %5.3f) %6.1f MB | 4 slots %6.3f s (cpu %5.3f) %6.1f MB | speed-up %s (goal >= 1.6)' \
    "$label" "$one" "$one_cpu" "$one_rss" "$BEST_WALL" "$BEST_CPU" "$BEST_RSS" "$r")"
  goal "$label: 4 slots 1.6 x as fast as 1" "$r ($one s / $BEST_WALL s)" "$(met 1.6 "$r")"
}

generated_site() {  # generated_site N: makes and serves $WORK/site/gen-N
  local n=$1 dir="$WORK/site/gen-$1"
  if [ ! -f "$dir/index.html" ]; then
    log "generating a site of $n pages"
    python3 "$WORK/generate.py" "$dir" "$n"
    chmod -R a+rX "$dir"
  fi
}

# ---------------------------------------------------------------------------------------
install_missing
build_cli
make_work
write_helpers
start_nginx
say "ferrowyn-cli: $CLI; $(nproc) cores; load at start $(cut -d' ' -f1-3 /proc/loadavg); every tool at nice $G_NICE"

# The documentation site.
rm -rf "$WORK/site/pg"
cp -r "$DOC_DIR" "$WORK/site/pg"
chmod -R a+rX "$WORK/site/pg"
crawl_site docs-crawl "http://127.0.0.1:$PORT/pg/" "$WORK/docs.fwb"
say "docs: crawled $CRAWL_PAGES pages in $CRAWL_WALL s, peak $CRAWL_RSS MB; site file $(du -m "$WORK/docs.fwb" | cut -f1) MB"
query_vs_grep "docs rare word" "$WORK/docs.fwb" "$WORK/site/pg" "vacuumlo" -e vacuumlo
query_vs_grep "docs common word" "$WORK/docs.fwb" "$WORK/site/pg" "table" -e table
query_vs_grep "docs phrase" "$WORK/docs.fwb" "$WORK/site/pg" '"foreign key"' -e "foreign key"
query_vs_grep "docs three words all-word" "$WORK/docs.fwb" "$WORK/site/pg" "index table column" \
  -w -e index -e table -e column

# Crawl memory per page between 1,000 and 10,000 pages, and four slots against one.
declare -A WALL_OF CPU_OF RSS_OF
for n in 1000 10000; do
  generated_site "$n"
  crawl_site "gen-$n-crawl" "http://127.0.0.1:$PORT/gen-$n/" "$WORK/gen-$n.fwb"
  WALL_OF[$n]=$CRAWL_WALL CPU_OF[$n]=$CRAWL_CPU RSS_OF[$n]=$CRAWL_RSS
  say "generated $n: crawled $CRAWL_PAGES pages in $CRAWL_WALL s ($CRAWL_CPU s processor), peak $CRAWL_RSS MB"
done
say "$(awk -v a="${RSS_OF[1000]}" -v b="${RSS_OF[10000]}" \
  'BEGIN { printf "crawl memory per page, 1,000 to 10,000 pages: %.2f KB (goal <= 2)", (b - a) * 1024 / 9000 }')"
slots_ratio "gen-10000 one word" "$WORK/gen-10000.fwb" "keyword"
slots_ratio "gen-10000 three words" "$WORK/gen-10000.fwb" "crawl slot page"

# The large generated site.
if [ "$G_BIG" -gt 0 ]; then
  generated_site "$G_BIG"
  crawl_site "gen-$G_BIG-crawl" "http://127.0.0.1:$PORT/gen-$G_BIG/" "$WORK/gen-$G_BIG.fwb"
  say "generated $G_BIG: crawled $CRAWL_PAGES pages in $CRAWL_WALL s ($CRAWL_CPU s processor), peak $CRAWL_RSS MB (goal < 250); site file $(du -m "$WORK/gen-$G_BIG.fwb" | cut -f1) MB, pages $(du -sm "$WORK/site/gen-$G_BIG" | cut -f1) MB"
  say "$(awk -v a="${WALL_OF[10000]}" -v b="$CRAWL_WALL" -v c="${CPU_OF[10000]}" -v d="$CRAWL_CPU" -v n="$G_BIG" \
    'BEGIN { printf "crawl cost per page, %d against 10,000 pages: %.2f wall, %.2f processor (goal <= 1.1)", n, (b / n) / (a / 10000), (d / n) / (c / 10000) }')"
  query_vs_grep "gen-$G_BIG common word" "$WORK/gen-$G_BIG.fwb" "$WORK/site/gen-$G_BIG" \
    "keyword" -e keyword
  query_vs_grep "gen-$G_BIG rare phrase" "$WORK/gen-$G_BIG.fwb" "$WORK/site/gen-$G_BIG" \
    '"page 77777"' -e "page 77777"
  goal "query gen-$G_BIG: memory under 64 MB + a few pages" "$QUERY_RSS MB" "$(met "$QUERY_RSS" 72)"
fi

echo
echo "Goals benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'); load at end $(cut -d' ' -f1-3 /proc/loadavg); best of $G_REPEAT runs, of $G_CRAWLS for each crawl"
for line in "${OUT[@]}"; do echo "$line"; done
echo
printf '%-52s %-34s %s\n' "goal" "figure" "met"
for line in "${GOALS[@]}"; do echo "$line"; done
echo "details: $WORK/runs$([ "$KEEP" -eq 1 ] || echo ' (removed; use --keep)')"
