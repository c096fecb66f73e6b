#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in a build folder of their own and runs
# each for FUZZ_SECONDS. Fails when any target crashes, leaks, times out or runs out of
# memory; the input that did it is left in <build>/fuzz/artifacts/<target>/ and belongs,
# once fixed, in tests/fuzz_regressions/<target>/.
#
#   FUZZ_SECONDS   seconds per target (default 25: about six minutes for all thirteen)
#   FUZZ_TARGETS   the targets to run (default all)
#   FUZZ_BUILD     the build folder (default build-fuzz)
#   QUADRELA_CORPUS_DIR  the third-party test files (default ../shared/corpus)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-25}
jobs=${JOBS:-$(nproc)}
targets=(${FUZZ_TARGETS:-records catalogue open_project png jpeg bmp ico wmf emf printer_offset recovery csv fields})
corpus=${QUADRELA_CORPUS_DIR:-$root/../shared/corpus}
[ -f "$corpus/INDEX.md" ] || [ ! -f /work/shared/corpus/INDEX.md ] || corpus=/work/shared/corpus
supp=$root/fuzz/sanitizers

flags="-fsanitize=fuzzer-no-link -fno-sanitize-recover=all -gline-tables-only"
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUADRELA_FUZZ=ON -DQUADRELA_SANITIZE=ON \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null || exit 1
fi
programs=()
for t in "${targets[@]}"; do programs+=("fuzz_$t"); done
cmake --build "$build" -j "$jobs" --target "${programs[@]}" || exit 1

# Seeds: the project's own small inputs, its test fixtures, and the third-party files of
# the matching kind (read where they are; nothing of them is copied into the repository).
seed_dirs() {
  local t=$1 dir=$build/fuzz/seeds/$t
  rm -rf "$dir" && mkdir -p "$dir"
  [ -d "$root/fuzz/seeds/$t" ] && cp "$root/fuzz/seeds/$t"/* "$dir"/ 2>/dev/null
  local pattern=()
  case $t in
    records|catalogue) ;;
    open_project) pattern=(-iname '*.zip' -o -iname '*.vimel') ;;
    png) pattern=(-iname '*.png') ;;
    jpeg) pattern=(-iname '*.jpg' -o -iname '*.jpeg') ;;
    bmp) pattern=(-iname '*.bmp') ;;
    ico) pattern=(-iname '*.ico' -o -iname '*.cur') ;;
    wmf) pattern=(-iname '*.wmf') ;;
    emf) pattern=(-iname '*.emf') ;;
  esac
  if [ ${#pattern[@]} -gt 0 ]; then
    local sources=("$root/tests" "$root/data")
    [ -d "$corpus" ] && sources+=("$corpus")
    find "${sources[@]}" -type f -size -1024k \( "${pattern[@]}" \) -not -path '*/reference/*' \
      -print0 2>/dev/null | while IFS= read -r -d '' f; do
        cp "$f" "$dir/$(echo "$f" | md5sum | cut -c1-12)-$(basename "$f")"
      done
  fi
  echo "$dir"
}

export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp"
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="*.debug=false;*.warning=false"

failed=()
summary=()
for t in "${targets[@]}"; do
  work=$build/fuzz/corpus/$t
  artifacts=$build/fuzz/artifacts/$t
  mkdir -p "$work" "$artifacts"
  seeds=$(seed_dirs "$t")
  timeout=10
  case $t in wmf|emf|open_project) timeout=30 ;; esac  # metafiles convert in a child, 10 s limit
  log=$build/fuzz/$t.log
  before=$(ls "$artifacts" | wc -l)
  start=$(date +%s)
  "$build/fuzz/fuzz_$t" "$work" "$seeds" -max_total_time="$seconds" -timeout="$timeout" \
    -rss_limit_mb=2560 -malloc_limit_mb=2560 -max_len=262144 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" >"$log" 2>&1
  status=$?
  took=$(( $(date +%s) - start ))
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  new=$(( $(ls "$artifacts" | wc -l) - before ))
  line="$t: ${execs:-?} executions in ${took} s"
  if [ $status -ne 0 ]; then
    failed+=("$t")
    line+=", FAILED (exit $status): see $log"
    tail -n 40 "$log" | sed "s/^/  [$t] /"
  elif [ "$new" -gt 0 ]; then
    # The fuzzer went on, so these came from a metafile converter child, which the
    # program kills or survives by design: reported, not counted as failures.
    line+=", $new converter-child crash(es) survived, inputs in $artifacts"
  fi
  summary+=("$line")
done

echo "Fuzzing summary (${seconds} s per target):"
printf '  %s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]}. Fix the fault and keep the input under tests/fuzz_regressions/<target>/."
  exit 1
fi
