#!/usr/bin/env bash
# Times iconvale-cli against ImageMagick on one job each way: packing 1,000 PNGs of 32 x 32 into
# one group (ImageMagick: `convert +append` into one sheet) and unpacking them again to PNGs
# (ImageMagick: `convert -crop 32x32`). Each is run RUNS times (default 5) and the medians go,
# as a section of their own, at the end of BENCHMARKS.md. Uses the first arch that runs here.
source "$(dirname "$0")/common.sh"
install_packages
choose_arches
ensure_wine_prefix
arch=${ARCHES[0]}
cross_build "$arch" >/dev/null
cli="$(build_dir_for "$arch")/iconvale-cli.exe"
loader=$(loader_for "$arch")
runs=${RUNS:-5}
work=$(mktemp -d /tmp/iconvale-bench-cli.XXXXXX)
trap 'rm -rf "$work"' EXIT

log "drawing 1,000 pictures"
mkdir -p "$work/pictures"
convert -size 320x3200 gradient:red-blue -swirl 400 -crop 32x32 +repage \
    "$work/pictures/picture%04d.png"

# Seconds one command takes, as a decimal.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN {printf "%.6f\n", b - a}'
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

pictures=("$work"/pictures/picture*.png)
first=("${pictures[@]:0:500}") second=("${pictures[@]:500}")
pack_ours=() pack_magick=() unpack_ours=() unpack_magick=()
for run in $(seq "$runs"); do
    log "run $run of $runs"
    rm -rf "$work/out"*; mkdir -p "$work/out-magick"
    pack_ours+=("$(seconds "$loader" "$cli" pack -q -o "$work/out.eil" --size 32x32 "$work/pictures")")
    # Two rows of 500: ImageMagick's own policy refuses a picture over 16,384 pixels wide.
    pack_magick+=("$(seconds convert \( "${first[@]}" +append \) \( "${second[@]}" +append \) \
        -append +repage "$work/out-strip.png")")
    unpack_ours+=("$(seconds "$loader" "$cli" unpack -q "$work/out.eil" -o "$work/out-ours")")
    unpack_magick+=("$(seconds convert "$work/out-strip.png" -crop 32x32 +repage "$work/out-magick/image%d.png")")
done
for out in out-ours out-magick; do
    written=$(find "$work/$out" -type f | wc -l)
    [ "$written" = 1000 ] || { log "$out holds $written pictures, not 1,000"; exit 1; }
done

# One table row: the job, then RUNS timings of ours and RUNS of ImageMagick's.
row() {
    local job=$1 ours magick
    ours=$(median "${@:2:$runs}")
    magick=$(median "${@:$((runs + 2)):$runs}")
    awk -v job="$job" -v o="$ours" -v m="$magick" 'BEGIN {
        r = o / m
        printf "| %s | %.0f ms | %.0f ms | %.0f | %.2f | <= 1.00 | %s |\n", job, o * 1000, m * 1000,
               o * 1000, r, (r <= 1 ? "pass" : "**miss**") }'
}

section=$(
    echo "## iconvale-cli against ImageMagick"
    echo
    echo "Median of $runs runs of each whole command on 1,000 PNGs of 32 x 32, written by"
    echo "\`scripts/bench_cli.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): the $arch build under"
    echo "$("$loader" --version) (process start included), and $(convert -version | head -n 1 | sed 's/ https.*//')."
    echo
    echo "| Job | iconvale-cli | ImageMagick | ours per image (µs) | Ratio | Target | Result |"
    echo "|---|---:|---:|---:|---:|---:|:---:|"
    row "pack 1,000 PNGs into one group (ImageMagick: +append)" "${pack_ours[@]}" "${pack_magick[@]}"
    row "unpack 1,000 images to PNG (ImageMagick: -crop 32x32)" "${unpack_ours[@]}" "${unpack_magick[@]}"
)
cd "$ROOT"
if grep -q '^## iconvale-cli against ImageMagick' BENCHMARKS.md; then
    sed -i '/^## iconvale-cli against ImageMagick/,$d' BENCHMARKS.md
fi
printf '%s\n' "$section" >>BENCHMARKS.md
log "written the command line's rows to $ROOT/BENCHMARKS.md"
