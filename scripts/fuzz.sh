#!/usr/bin/env bash
# Fuzz campaigns with the sanitizer build's libFuzzer targets.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#       searches SECONDS (default 300) a target from its seeds, then merges
#       the new inputs that add coverage into fuzz/corpus/<name>/, only those
#       of at most FUZZ_MAX_SIZE bytes (default 4096); review, then commit.
#   scripts/fuzz.sh --check [SECONDS] [TARGET...]
#       the same search (default 20 s) that keeps nothing: CI's campaign.
# Options: --dir DIR (build directory, default build-asan).
# TARGET is a corpus name (lookup_answer) or a target (lookup_answer_fuzzer);
# by default every target the build has. FUZZ_JOBS targets run at once
# (default 2), each as one process. A finding (crash, sanitizer report, leak,
# timeout, out of memory) ends that target's run; the script then prints the
# report and the input in base64, keeps the input under DIR/fuzz/findings/,
# and exits with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
dir=build-asan
seconds=
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --check) check=1 ;;
    --dir) dir="$2"; shift ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) if [ -z "$seconds" ] && [[ "$1" =~ ^[0-9]+$ ]]; then seconds="$1"; else names+=("${1%_fuzzer}"); fi ;;
  esac
  shift
done
if [ -z "$seconds" ]; then
  if [ $check = 1 ]; then seconds=20; else seconds=300; fi
fi
jobs_max=${FUZZ_JOBS:-2}
max_size=${FUZZ_MAX_SIZE:-4096}

if [ ! -f "$dir/CMakeCache.txt" ]; then
  [ "$dir" = build-asan ] || { echo "fuzz.sh: $dir is not configured" >&2; exit 2; }
  scripts/build.sh --sanitize
fi
mkdir -p "$dir/fuzz"
cmake --build "$dir" --target vexa_fuzzers >"$dir/fuzz/build.log" 2>&1 || { cat "$dir/fuzz/build.log"; exit 1; }
mapfile -t built < <(grep -v '^$' "$dir/fuzz/targets.txt")
if [ ${#names[@]} = 0 ]; then
  names=("${built[@]%_fuzzer}")
else
  for n in "${names[@]}"; do
    printf '%s\n' "${built[@]}" | grep -qx "${n}_fuzzer" ||
      { echo "fuzz.sh: no fuzz target ${n}_fuzzer in $dir" >&2; exit 2; }
  done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
campaign="$dir/fuzz/campaign"
findings="$dir/fuzz/findings"
mkdir -p "$campaign"

# One target: search from the seeds into a fresh scratch directory, then, for
# a local campaign, merge what is small and new into the seeds.
run_one() {
  local name=$1 target="$dir/fuzz/$1_fuzzer"
  local work="$campaign/$name" found="$findings/$name" log="$campaign/$name.log"
  local seeds="fuzz/corpus/$name"
  rm -rf "$work" "$found" "$campaign/$name.status"
  mkdir -p "$work" "$found"
  [ $check = 1 ] || mkdir -p "$seeds"
  local dirs=("$work")
  [ -d "$seeds" ] && dirs+=("$seeds")
  local rc=0
  "$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$found/" "${dirs[@]}" >"$log" 2>&1 || rc=$?
  local runs cov
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 || true)
  local crash
  crash=$(find "$found" -type f ! -name 'slow-unit-*' -print -quit)
  if [ $rc != 0 ] || [ -n "$crash" ]; then
    echo "$crash" >"$campaign/$name.status"
    echo "  $name: FOUND a fault (exit $rc)"
    return
  fi
  local note=""
  if [ $check = 0 ]; then
    local small="$work.small" before after
    rm -rf "$small" && mkdir -p "$small"
    find "$work" -type f -size -$((max_size + 1))c -exec cp {} "$small/" \;
    before=$(find "$seeds" -type f | wc -l)
    # New edges only, not new hit counts of known ones: a lean corpus.
    "$target" -merge=1 -use_counters=0 -timeout=25 -rss_limit_mb=2048 "$seeds" "$small" \
      >"$log.merge" 2>&1 ||
      note=", merge failed (see $log.merge)"
    after=$(find "$seeds" -type f | wc -l)
    note=", $((after - before)) seeds added$note"
    rm -rf "$small"
  fi
  echo ok >"$campaign/$name.status"
  echo "  $name: ${runs:-?} runs, ${cov:-cov: ?}$note"
}

start=$(date +%s)
echo "fuzzing ${#names[@]} targets for $seconds s each, $jobs_max at a time"
for name in "${names[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs_max" ]; do wait -n || true; done
  run_one "$name" &
done
wait

failed=0
for name in "${names[@]}"; do
  status=$(cat "$campaign/$name.status" 2>/dev/null || echo "no status")
  [ "$status" = ok ] && continue
  failed=1
  echo
  echo "== $name: fault found =="
  tail -n 80 "$campaign/$name.log"
  if [ -f "$status" ]; then
    echo "-- input: $(stat -c %s "$status") bytes, kept as $status; to reproduce:"
    echo "echo '$(base64 -w0 "$status")' | base64 -d > input && $dir/fuzz/${name}_fuzzer input"
  fi
done
echo "fuzz campaigns finished in $(( $(date +%s) - start )) s"
exit $failed
