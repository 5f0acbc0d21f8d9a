#!/usr/bin/env bash
# Builds the Windows program and its benchmark, runs the benchmark under Wine and writes the
# results to BENCHMARKS.md in the repository root.
source "$(dirname "$0")/common.sh"
install_packages
ensure_display
ensure_wine_prefix

cross_build
log "running the benchmark"
cd "$ROOT"
wine "$BUILD_DIR/bench/iconvale_bench.exe" "$(winepath -w "$ROOT")"
log "written $ROOT/BENCHMARKS.md"
