#!/usr/bin/env bash
# Runs one fuzz target for a while: scripts/fuzz.sh TARGET SECONDS [extra libFuzzer flags].
# TARGET is stream, command_line, setting_value, property_table, delphi_form, lazarus_form, resx,
# embedded_picture or picture. The seed corpus is written by the native tests; the growing corpus
# and any findings land in build/fuzz/TARGET/.
# FUZZ_BUILD names the clang build with fuzzers (default build/native-clang).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?target: stream, command_line, setting_value, property_table, delphi_form, lazarus_form, resx, embedded_picture or picture} seconds=${2:-30}
shift 2 || true
# The test that writes each target's seeds.
case $target in
    stream) seeds_test=SeedCorpus.StreamsOfEveryDepth ;;
    command_line) seeds_test=SeedCorpus.CommandLines ;;
    setting_value) seeds_test=SeedCorpus.SettingValues ;;
    property_table) seeds_test=SeedCorpus.PropertyTableOperations ;;
    delphi_form) seeds_test=SeedCorpus.DelphiForms ;;
    lazarus_form) seeds_test=SeedCorpus.LazarusForms ;;
    resx) seeds_test=SeedCorpus.ResxFiles ;;
    embedded_picture) seeds_test=SeedCorpus.EmbeddedPictures ;;
    picture) seeds_test=SeedCorpus.Pictures ;;
    *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac
build=${FUZZ_BUILD:-$ROOT/build/native-clang}
work=$ROOT/build/fuzz/$target
mkdir -p "$work/corpus" "$work/seeds" "$work/artifacts"
ICONVALE_SEED_DIR="$work/seeds" "$build/tests/portable_tests" --gtest_filter="$seeds_test" >/dev/null
"$build/fuzz/${target}_fuzz" "$work/corpus" "$work/seeds" -max_total_time="$seconds" \
    -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$@" 2>&1 | tail -n 20
