#!/usr/bin/env bash
# Runs one fuzz target: scripts/fuzz.sh TARGET SECONDS [extra libFuzzer flags].
# The seed corpus is written by the native tests; findings land in build/fuzz/TARGET/.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?target} seconds=${2:-30}
shift 2 || true
build=$ROOT/build/native-clang
work=$ROOT/build/fuzz/$target
mkdir -p "$work/corpus" "$work/seeds" "$work/artifacts"
ICONVALE_SEED_DIR="$work/seeds" "$build/tests/portable_tests" --gtest_filter="SeedCorpus.*" >/dev/null
"$build/fuzz/${target}_fuzz" "$work/corpus" "$work/seeds" -max_total_time="$seconds" \
    -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$@" 2>&1 | tail -n 20
