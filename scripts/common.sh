# Shared set-up for the run and test scripts: packages, the project's Wine prefix, a display,
# and the cross build. Sourced, not run.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build/i686}
export WINEPREFIX=${WINEPREFIX:-$ROOT/.wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# Nothing here needs Wine's Mono or Gecko; without network they would only stall start-up.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386
          xvfb xauth x11-utils xdotool imagemagick fonts-wqy-microhei googletest cmake make
          clang libclang-rt-14-dev g++)

log() { printf '== %s\n' "$*" >&2; }

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then $sudo dpkg --add-architecture i386; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Starts a virtual screen when there is no usable one.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    export DISPLAY=:${ICONVALE_DISPLAY:-77}
    if ! xdpyinfo >/dev/null 2>&1; then
        log "starting Xvfb on $DISPLAY"
        Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    fi
}

# A prefix of the project's own, with fonts that render Chinese.
ensure_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.iconvale-ready" ]; then
        log "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        local key='HKCU\Software\Wine\Fonts\Replacements'
        for font in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "MS Sans Serif" "SimSun" "NSimSun" \
                    "宋体" "新宋体" "Microsoft YaHei" "微软雅黑" "Segoe UI"; do
            wine reg add "$key" /v "$font" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
        done
        wineserver -w
        touch "$WINEPREFIX/.iconvale-ready"
    fi
    # A persistent server makes each test process start in tens of milliseconds. Its services
    # are started here, detached from any pipe, so that no later output pipe is held open.
    wineserver -p >/dev/null 2>&1 || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# The first processes that make windows on a fresh prefix start Wine's desktop process, and one
# of them now and then hangs while it does. One test that makes a window is run here first, with
# a time limit and a second try, so that the desktop is up before the tests are timed.
warm_up_desktop() {
    local tests="$BUILD_DIR/tests/windows_tests.exe" try
    [ -f "$tests" ] || return 0
    for try in 1 2; do
        if timeout 120 wine "$tests" --gtest_filter='WindowObjectTest.*' >/dev/null 2>&1 </dev/null; then
            return 0
        fi
        log "warming up Wine's desktop: try $try did not finish"
    done
    return 0
}

cross_build() {
    local toolchain=${1:-$ROOT/cmake/mingw-i686.cmake} dir=${2:-$BUILD_DIR}
    log "building in $dir"
    cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# A small drive with almost no room left, for the disk-full save tests: a 128 KiB tmpfs, filled
# but for 16 KiB, mapped into the Wine prefix as T: and named by ICONVALE_FULL_DRIVE. Mounting
# needs root; where it is refused the tests that need the drive skip.
ensure_full_drive() {
    local dir=${ICONVALE_FULL_DIR:-/tmp/iconvale-full-drive}
    mkdir -p "$dir"
    if ! mountpoint -q "$dir" && ! mount -t tmpfs -o size=128k tmpfs "$dir" 2>/dev/null; then
        log "cannot mount a tmpfs on $dir: the disk-full tests will skip"
        return 0
    fi
    find "$dir" -mindepth 1 -delete
    # Fill it to the last block, then give 16 KiB back.
    dd if=/dev/zero of="$dir/filler" bs=4k 2>/dev/null || true
    truncate -s -16K "$dir/filler"
    ln -sfn "$dir" "$WINEPREFIX/dosdevices/t:"
    export ICONVALE_FULL_DRIVE='T:\'
}
