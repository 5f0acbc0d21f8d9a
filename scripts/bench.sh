#!/usr/bin/env bash
# Builds the Windows program and its benchmark for the first arch that runs here, runs the
# benchmark under Wine and writes the results to BENCHMARKS.md in the repository root.
source "$(dirname "$0")/common.sh"
install_packages
choose_arches
ensure_display
ensure_wine_prefix

arch=${ARCHES[0]}
cross_build "$arch"
log "running the $arch benchmark"
cd "$ROOT"
"$(loader_for "$arch")" "$(build_dir_for "$arch")/bench/iconvale_bench.exe" \
    "$("$WINE64_LOADER" winepath.exe -w "$ROOT")"
log "written $ROOT/BENCHMARKS.md"
bash "$ROOT/scripts/bench_cli.sh"
