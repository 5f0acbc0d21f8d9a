#!/usr/bin/env bash
# Sets everything up, builds the program and starts it under Wine. Extra arguments go to it.
source "$(dirname "$0")/common.sh"
install_packages
ensure_display
ensure_wine_prefix
cross_build
log "starting iconvale.exe on $DISPLAY"
exec wine "$BUILD_DIR/iconvale.exe" "$@"
