#!/usr/bin/env bash
# Fuzzes every target of fuzz/ in turn, each for the given number of seconds (default 60), from
# its committed seed corpus fuzz/corpus/<target>/. Inputs that find new coverage are kept in
# build/fuzz/corpus/<target>/ (so a later run goes on from there) and crashing inputs in
# build/fuzz/artifacts/<target>/; the committed corpus changes only with --merge, which adds the
# kept inputs that reach code the committed ones do not.
#
#   bash scripts/fuzz.sh [seconds-per-target] [--merge] [target...]
#
# Targets: conversions compsort board settings placement. Exits non-zero when a target fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
merge=0
targets=()
for arg in "$@"; do
  case "$arg" in
    --merge) merge=1 ;;
    ''|*[!0-9]*) targets+=("$arg") ;;
    *) seconds="$arg" ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(conversions compsort board settings placement table)

# clang 14 and its libFuzzer runtime come with the project's dependencies.
if ! command -v clang++-14 >/dev/null ||
   ! compgen -G "/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  bash scripts/install-deps.sh
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

failed=()
for target in "${targets[@]}"; do
  program="build/fuzz/fuzz/fuzz_${target}"
  corpus="fuzz/corpus/${target}"
  kept="build/fuzz/corpus/${target}"
  artifacts="build/fuzz/artifacts/${target}/"
  log="build/fuzz/logs/${target}.log"
  [ -x "$program" ] || { echo "fuzz: no target named ${target}" >&2; failed+=("$target"); continue; }
  mkdir -p "$kept" "$artifacts" "$(dirname "$log")"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$artifacts")
  [ -f "fuzz/dict/${target}.dict" ] && options+=(-dict="fuzz/dict/${target}.dict")

  echo "=== fuzz ${target}: ${seconds} s ==="
  status=0
  "$program" "${options[@]}" "$kept" "$corpus" >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    # What broke, without the stack: the whole report is in the log.
    grep -a -E -A3 "invariant broken|runtime error|ERROR: [A-Za-z]*Sanitizer|ERROR: libFuzzer: (timeout|out-of-memory)" "$log" |
      grep -a -v -E "^ +#[0-9]+ " | head -n 20 >&2 || tail -n 20 "$log" >&2
    grep -a "Test unit written to" "$log" >&2 || true
    echo "fuzz ${target}: FAILED after ${runs:-?} runs; input kept in ${artifacts}, log in ${log}" >&2
    continue
  fi
  echo "fuzz ${target}: ${runs:-?} runs, no finding (log in ${log})"
  if [ "$merge" -eq 1 ]; then
    # Edges, not hit counts: a new seed must reach code no seed reaches, so the corpus stays small.
    "$program" -merge=1 -use_counters=0 "$corpus" "$kept" >>"$log" 2>&1
    echo "fuzz ${target}: committed corpus now $(find "$corpus" -type f | wc -l) inputs"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
