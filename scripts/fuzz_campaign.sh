#!/usr/bin/env bash
# A long fuzzing campaign on one target, counted in executions rather than seconds:
#   scripts/fuzz_campaign.sh TARGET [RUNS] [extra libFuzzer flags]
# RUNS defaults to 100000000 for stream and 10000000 for the others. FUZZ_JOBS (default: all
# cores) parallel jobs each run RUNS executions; with FUZZ_JOBS=1 a single process runs in the
# foreground of this script. The corpus is shared with scripts/fuzz.sh (build/fuzz/TARGET/), and
# findings are kept in build/fuzz/TARGET/artifacts/. FUZZ_BUILD names the clang build with
# fuzzers (default build/native-clang). Ends with the executions done and the findings.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?target: stream, command_line, setting_value, property_table, delphi_form, lazarus_form, resx, embedded_picture or picture}
shift
case $target in
    stream) seeds_test=SeedCorpus.StreamsOfEveryDepth default_runs=100000000 ;;
    command_line) seeds_test=SeedCorpus.CommandLines default_runs=10000000 ;;
    setting_value) seeds_test=SeedCorpus.SettingValues default_runs=10000000 ;;
    property_table) seeds_test=SeedCorpus.PropertyTableOperations default_runs=10000000 ;;
    delphi_form) seeds_test=SeedCorpus.DelphiForms default_runs=10000000 ;;
    lazarus_form) seeds_test=SeedCorpus.LazarusForms default_runs=10000000 ;;
    resx) seeds_test=SeedCorpus.ResxFiles default_runs=10000000 ;;
    embedded_picture) seeds_test=SeedCorpus.EmbeddedPictures default_runs=10000000 ;;
    picture) seeds_test=SeedCorpus.Pictures default_runs=10000000 ;;
    *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac
runs=$default_runs
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then runs=$1; shift; fi
jobs=${FUZZ_JOBS:-$(nproc)}
build=${FUZZ_BUILD:-$ROOT/build/native-clang}
work=$ROOT/build/fuzz/$target
logs=$work/logs
mkdir -p "$work/corpus" "$work/seeds" "$work/artifacts" "$logs"
ICONVALE_SEED_DIR="$work/seeds" "$build/tests/portable_tests" --gtest_filter="$seeds_test" >/dev/null
before=$(find "$work/artifacts" -type f | wc -l)
touch "$logs/.started"

echo "== $target: $runs executions in each of $jobs job(s), started $(date -Is)"
rm -f "$logs"/job-0.log "$logs"/fuzz-*.log
status=0
if [ "$jobs" -le 1 ]; then
    "$build/fuzz/${target}_fuzz" "$work/corpus" "$work/seeds" -runs="$runs" \
        -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$@" 2>&1 | tee "$logs/job-0.log" ||
        status=$?
else
    # Each job writes build/fuzz/TARGET/logs/fuzz-N.log; new inputs go into the shared corpus.
    (cd "$logs" && "$build/fuzz/${target}_fuzz" "$work/corpus" "$work/seeds" -runs="$runs" \
        -jobs="$jobs" -workers="$jobs" -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$@") ||
        status=$?
fi

# The count: each job's final stats, else its last progress line ("#N ... exec/s").
total=0
for log in "$logs"/job-0.log "$logs"/fuzz-*.log; do
    [ -f "$log" ] || continue
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    [ -n "$n" ] || n=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$log" | tail -n 1)
    total=$((total + ${n:-0}))
done
after=$(find "$work/artifacts" -type f | wc -l)
echo "== $target: $total executions, finished $(date -Is)"
echo "== findings: $((after - before)) new, $after kept in $work/artifacts"
find "$work/artifacts" -type f -newer "$logs/.started" -printf '   %p\n'
[ "$after" -eq "$before" ] && [ "$status" -eq 0 ]
