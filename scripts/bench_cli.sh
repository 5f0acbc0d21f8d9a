#!/usr/bin/env bash
# Times iconvale-cli against ImageMagick, on two sets of pictures: 1,000 PNGs of 32 x 32 and
# 10,000 PNGs of 16 x 16. Each set is packed into one group (ImageMagick: `convert +append`
# into one sheet, in rows within its width policy) and unpacked again to PNGs (ImageMagick:
# `convert -crop`). Both builds of ours run in the same pass: the native one (a Release build
# in build/native-release) and the Windows one under Wine (the first arch that runs here;
# BENCH_WINE=0 leaves it out). Each command runs RUNS times (default 5), and the medians go, as a
# section of their own, at the end of BENCHMARKS.md.
source "$(dirname "$0")/common.sh"
install_packages
runs=${RUNS:-5}
wine_too=${BENCH_WINE:-1}
native_dir=$ROOT/build/native-release
cmake -S "$ROOT" -B "$native_dir" -DCMAKE_BUILD_TYPE=Release -DICONVALE_TESTS=OFF >/dev/null
cmake --build "$native_dir" -j"$(nproc)" --target iconvale-cli >/dev/null
native_cli=$native_dir/iconvale-cli
if [ "$wine_too" = 1 ]; then
    choose_arches
    ensure_wine_prefix
    arch=${ARCHES[0]}
    cross_build "$arch" >/dev/null
    wine_cli="$(build_dir_for "$arch")/iconvale-cli.exe"
    loader=$(loader_for "$arch")
fi
work=$(mktemp -d /tmp/iconvale-bench-cli.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Seconds one command takes, as a decimal.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN {printf "%.6f\n", b - a}'
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# One table row: the job, the picture count, then the medians of ours (native, Wine or "-")
# and of ImageMagick.
row() {
    awk -v job="$1" -v n="$2" -v o="$3" -v w="$4" -v m="$5" 'BEGIN {
        r = o / m
        wine = (w == "-") ? "-" : sprintf("%.0f ms (%.2f)", w * 1000, w / m)
        printf "| %s | %.0f ms | %s | %.0f ms | %.1f | %.2f | <= 1.00 | %s |\n", job, o * 1000, wine,
               m * 1000, o * 1e6 / n, r, (r <= 1 ? "pass" : "**miss**") }'
}

# bench COUNT SIDE PER_ROW: one set of pictures, every tool, RUNS times; prints two table rows.
bench() {
    local count=$1 side=$2 per_row=$3 rows dir
    rows=$(( (count + per_row - 1) / per_row ))
    dir=$work/set-$count
    mkdir -p "$dir/pictures"
    log "drawing $count pictures of $side x $side"
    convert -size "$((side * per_row))x$((side * rows))" gradient:red-blue -swirl 400 \
        -crop "${side}x${side}" +repage "$dir/pictures/picture%05d.png"
    local pictures=("$dir"/pictures/picture*.png) sheet=() r
    # Rows within ImageMagick's own policy, which refuses a picture over 16,384 pixels wide.
    for ((r = 0; r < rows; r++)); do
        sheet+=(\( "${pictures[@]:$((r * per_row)):$per_row}" +append \))
    done
    local pack_native=() pack_wine=() pack_magick=() unpack_native=() unpack_wine=() unpack_magick=()
    local run
    for run in $(seq "$runs"); do
        log "$count pictures: run $run of $runs"
        rm -rf "$dir"/out*; mkdir -p "$dir/out-magick"
        pack_native+=("$(seconds "$native_cli" pack -q -o "$dir/out.eil" --size "${side}x${side}" "$dir/pictures")")
        if [ "$wine_too" = 1 ]; then
            pack_wine+=("$(seconds "$loader" "$wine_cli" pack -q -o "$dir/out-wine.eil" --size "${side}x${side}" "$dir/pictures")")
        fi
        pack_magick+=("$(seconds convert "${sheet[@]}" -append +repage "$dir/out-strip.png")")
        unpack_native+=("$(seconds "$native_cli" unpack -q "$dir/out.eil" -o "$dir/out-native")")
        if [ "$wine_too" = 1 ]; then
            unpack_wine+=("$(seconds "$loader" "$wine_cli" unpack -q "$dir/out.eil" -o "$dir/out-wine")")
        fi
        unpack_magick+=("$(seconds convert "$dir/out-strip.png" -crop "${side}x${side}" +repage "$dir/out-magick/image%d.png")")
    done
    local out written
    for out in out-native out-magick $([ "$wine_too" = 1 ] && echo out-wine); do
        written=$(find "$dir/$out" -type f | wc -l)
        [ "$written" = "$count" ] || { log "$out holds $written pictures, not $count"; exit 1; }
    done
    local wine_pack=- wine_unpack=-
    if [ "$wine_too" = 1 ]; then
        wine_pack=$(median "${pack_wine[@]}") wine_unpack=$(median "${unpack_wine[@]}")
    fi
    row "pack $count PNGs of ${side} x ${side} (ImageMagick: +append)" "$count" \
        "$(median "${pack_native[@]}")" "$wine_pack" "$(median "${pack_magick[@]}")"
    row "unpack $count images to PNG (ImageMagick: -crop)" "$count" \
        "$(median "${unpack_native[@]}")" "$wine_unpack" "$(median "${unpack_magick[@]}")"
}

rows_small=$(bench 1000 32 500)
rows_large=$(bench 10000 16 1000)
wine_text="not measured (BENCH_WINE=0)"
if [ "$wine_too" = 1 ]; then wine_text="the $arch build under $("$loader" --version)"; fi

section=$(
    echo "## iconvale-cli against ImageMagick"
    echo
    echo "Median of $runs runs of each whole command (process start included), written by"
    echo "\`scripts/bench_cli.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC') with $(nproc) cores: the native"
    echo "build (Release, one thread a core), $wine_text, and"
    echo "$(convert -version | head -n 1 | sed 's/ https.*//'). Ratios and the target are the native"
    echo "build's against ImageMagick; the Wine column gives its own ratio in brackets."
    echo
    echo "| Job | native | Windows build under Wine | ImageMagick | native per image (µs) | Ratio | Target | Result |"
    echo "|---|---:|---:|---:|---:|---:|---:|:---:|"
    echo "$rows_small"
    echo "$rows_large"
)
cd "$ROOT"
if grep -q '^## iconvale-cli against ImageMagick' BENCHMARKS.md; then
    sed -i '/^## iconvale-cli against ImageMagick/,$d' BENCHMARKS.md
fi
printf '%s\n' "$section" >>BENCHMARKS.md
log "written the command line's rows to $ROOT/BENCHMARKS.md"
