#!/usr/bin/env bash
# Starts the built program (the first arch that runs here, as run.sh picks it) on the virtual
# screen, waits for its window and saves a picture of it:
#   scripts/screenshot.sh OUT.png [arguments for the program...]
source "$(dirname "$0")/common.sh"
out=${1:?output png}
shift
choose_arches
ensure_display
ensure_wine_prefix
arch=${ARCHES[0]}
log "picturing the $arch build"
"$(loader_for "$arch")" "$(build_dir_for "$arch")/iconvale.exe" "$@" >/dev/null 2>&1 &
for _ in $(seq 100); do
    window=$(xdotool search --name '^Iconvale$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.2
done
sleep "${SHOT_DELAY:-2}"
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
[ -n "${KEEP_RUNNING:-}" ] || { xdotool windowclose "$window" 2>/dev/null || "$WINESERVER" -k; }
log "saved $out"
