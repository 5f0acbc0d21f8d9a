# Shared set-up for the run and test scripts: packages, the project's Wine prefix, a display,
# the Windows builds this machine can run, and the cross build. Sourced, not run.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$ROOT/.wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# Nothing here needs Wine's Mono or Gecko; without network they would only stall start-up.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Debian's `wine` wrapper picks the 32-bit loader whenever that file is executable, even on a
# kernel that cannot start 32-bit processes; so every Wine program is started through the
# loader of its own arch, named by its path. The prefix is win64 and served by the 64-bit
# loader, which runs on every x86_64 machine.
WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64

PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386
          xvfb xauth x11-utils xdotool imagemagick fonts-wqy-microhei googletest cmake make
          clang libclang-rt-14-dev g++ zlib1g-dev libz-mingw-w64-dev libcli11-dev
          nlohmann-json3-dev wixl msitools zip libpng-dev libjpeg62-turbo-dev libgif-dev
          libtiff-dev libstb-dev)

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
    # A mirror in the middle of a sync fails the update for one index now and then; a second
    # try usually passes, and otherwise the install goes on with the indices that did load.
    local try
    for try in 1 2 3; do
        $sudo apt-get update -qq && break
        log "apt-get update failed (try $try)"
        [ "$try" -lt 3 ] && sleep 10
    done
    local install=($sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends)
    "${install[@]}" "${missing[@]}" >/dev/null && return 0
    # When one arch's security index did not load, the two arches' copies of a shared library
    # (zlib1g and zlib1g:i386, say) have different candidates and wine32 cannot be resolved.
    # The point release carries the same fixes for both arches, so the install is tried once
    # more with the security suite below it.
    log "the install failed; trying again with the point release preferred to the security suite"
    local pin; pin=$(mktemp)
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$pin"
    local status=0
    "${install[@]}" -o Dir::Etc::Preferences="$pin" "${missing[@]}" >/dev/null || status=$?
    rm -f "$pin"
    return $status
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
        "$WINE64_LOADER" wineboot.exe -i >/dev/null 2>&1 || true
        "$WINESERVER" -w
        local key='HKCU\Software\Wine\Fonts\Replacements'
        for font in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "MS Sans Serif" "SimSun" "NSimSun" \
                    "宋体" "新宋体" "Microsoft YaHei" "微软雅黑" "Segoe UI"; do
            "$WINE64_LOADER" reg.exe add "$key" /v "$font" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
        done
        "$WINESERVER" -w
        touch "$WINEPREFIX/.iconvale-ready"
    fi
    # A persistent server makes each test process start in tens of milliseconds. Its services
    # are started here, detached from any pipe, so that no later output pipe is held open.
    "$WINESERVER" -p >/dev/null 2>&1 || true
    "$WINE64_LOADER" cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

# The first processes that make windows on a fresh prefix start Wine's desktop process, and one
# of them now and then hangs while it does. One test that makes a window is run here first, with
# a time limit and a second try, so that the desktop is up before the tests are timed.
warm_up_desktop() {
    local arch=$1 try
    local tests; tests="$(build_dir_for "$arch")/tests/windows_tests.exe"
    [ -f "$tests" ] || return 0
    for try in 1 2; do
        if timeout 120 "$(loader_for "$arch")" "$tests" --gtest_filter='WindowObjectTest.*' \
            >/dev/null 2>&1 </dev/null; then
            return 0
        fi
        log "warming up Wine's desktop: try $try did not finish"
    done
    return 0
}

cross_build() {
    local arch=$1 dir; dir=$(build_dir_for "$arch")
    log "building $arch in $dir"
    # ccache, where installed, lets several checkouts of the tree share their object files.
    local launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT}
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
          -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
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

#--- which Windows builds this machine runs

build_dir_for() { printf '%s\n' "$ROOT/build/$1"; }

loader_for() {
    case $1 in
        i686) printf '%s\n' "$WINE32_LOADER" ;;
        x86_64) printf '%s\n' "$WINE64_LOADER" ;;
    esac
}

# Why ARCH's programs cannot run here; prints nothing and succeeds when they can. The only sure
# test is to start the loader: a kernel without 32-bit emulation refuses it with "Exec format
# error", although the package that installed it is there.
arch_cannot_run() {
    local loader; loader=$(loader_for "$1")
    if [ ! -e "$loader" ]; then
        printf '%s is not installed' "$loader"
        return 0
    fi
    local said
    if said=$("$loader" --version 2>&1 </dev/null); then return 1; fi
    case $said in
        *"Exec format error"*) printf 'this kernel starts no 32-bit processes (%s: Exec format error)' "$loader" ;;
        *) printf '%s does not start: %s' "$loader" "$(printf '%s' "$said" | head -n 1)" ;;
    esac
    return 0
}

# Sets ARCHES (the Windows builds whose programs run here, i686 first) and SKIPPED_ARCHES (with
# SKIP_REASON), and says so in one line. ICONVALE_ARCHES chooses instead: x86_64, i686, or both
# (names may also be listed, separated by spaces or commas); asking for one that cannot run is
# an error.
choose_arches() {
    ARCHES=() SKIPPED_ARCHES=() SKIP_REASON=""
    local wanted=() arch reason
    if [ -n "${ICONVALE_ARCHES:-}" ]; then
        for arch in ${ICONVALE_ARCHES//,/ }; do
            case $arch in
                both) wanted+=(i686 x86_64) ;;
                i686 | x86_64) wanted+=("$arch") ;;
                *) log "ICONVALE_ARCHES: unknown arch '$arch' (use x86_64, i686 or both)"; exit 2 ;;
            esac
        done
        for arch in i686 x86_64; do
            [[ " ${wanted[*]} " == *" $arch "* ]] || continue
            if reason=$(arch_cannot_run "$arch"); then
                log "ICONVALE_ARCHES asks for $arch, which cannot run here: $reason"
                exit 2
            fi
            ARCHES+=("$arch")
        done
        for arch in i686 x86_64; do
            [[ " ${wanted[*]} " == *" $arch "* ]] || SKIPPED_ARCHES+=("$arch")
        done
        SKIP_REASON="ICONVALE_ARCHES=$ICONVALE_ARCHES"
        log "arches: ${ARCHES[*]} (chosen by ICONVALE_ARCHES=$ICONVALE_ARCHES)"
        return 0
    fi
    for arch in i686 x86_64; do
        if reason=$(arch_cannot_run "$arch"); then
            SKIPPED_ARCHES+=("$arch")
            SKIP_REASON=$reason
        else
            ARCHES+=("$arch")
        fi
    done
    if [ ${#ARCHES[@]} -eq 0 ]; then
        log "no Windows build can run here: $SKIP_REASON"
        exit 1
    fi
    if [ ${#SKIPPED_ARCHES[@]} -eq 0 ]; then
        log "arches: ${ARCHES[*]} (both loaders start here)"
    else
        log "arches: ${ARCHES[*]} (${SKIPPED_ARCHES[*]} skipped: $SKIP_REASON)"
    fi
}
