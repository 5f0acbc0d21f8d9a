#!/usr/bin/env bash
# Sets everything up, builds the program and starts it under Wine: the i686 build where this
# machine runs 32-bit processes, the x86_64 build otherwise (ICONVALE_ARCHES chooses). Extra
# arguments go to the program.
source "$(dirname "$0")/common.sh"
install_packages
choose_arches
ensure_display
ensure_wine_prefix
arch=${ARCHES[0]}
cross_build "$arch"
log "starting the $arch build, $(build_dir_for "$arch")/iconvale.exe, on $DISPLAY"
exec "$(loader_for "$arch")" "$(build_dir_for "$arch")/iconvale.exe" "$@"
