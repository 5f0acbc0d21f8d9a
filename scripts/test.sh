#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the Windows tests under Wine for each arch
# this machine runs, the portable codec natively with g++ and clang, and a short fuzzing run of
# each fuzz target. Both Windows builds are made everywhere; ICONVALE_ARCHES chooses which
# suites run (common.sh).
source "$(dirname "$0")/common.sh"
install_packages
choose_arches
ensure_display
ensure_wine_prefix

for arch in i686 x86_64; do cross_build "$arch"; done
status=0
log "release archives and installers"
bash "$ROOT/scripts/package.sh" || status=1

log "native build (g++)"
cmake -S "$ROOT" -B "$ROOT/build/native-gcc" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$ROOT/build/native-gcc" -j"$(nproc)"
log "native build (clang, with fuzzers)"
cmake -S "$ROOT" -B "$ROOT/build/native-clang" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
      -DCMAKE_BUILD_TYPE=Debug -DICONVALE_FUZZ=ON >/dev/null
cmake --build "$ROOT/build/native-clang" -j"$(nproc)"

log "native tests"
ctest --test-dir "$ROOT/build/native-gcc" --output-on-failure -j"$(nproc)" || status=1
ctest --test-dir "$ROOT/build/native-clang" --output-on-failure -j"$(nproc)" || status=1

# FUZZ_SECONDS for the stream parser, FUZZ_SECONDS_OTHERS for each of the smaller targets.
log "fuzzing the stream parser for ${FUZZ_SECONDS:-30} s"
"$ROOT/scripts/fuzz.sh" stream "${FUZZ_SECONDS:-30}" || status=1
for target in command_line setting_value property_table delphi_form lazarus_form resx \
        embedded_picture picture; do
    log "fuzzing $target for ${FUZZ_SECONDS_OTHERS:-15} s"
    "$ROOT/scripts/fuzz.sh" "$target" "${FUZZ_SECONDS_OTHERS:-15}" || status=1
done

ensure_full_drive
for arch in "${ARCHES[@]}"; do
    log "Windows tests under Wine: $arch ($(loader_for "$arch"))"
    warm_up_desktop "$arch"
    # A test that hangs or fails under Wine gets one more try: the window tests that drive the
    # platform's own dialogs can lose them when the machine is loaded.
    ctest --test-dir "$(build_dir_for "$arch")" --output-on-failure -j"$(nproc)" \
          --repeat until-pass:2 || status=1
done
for arch in "${ARCHES[@]}"; do
    log "installing and uninstalling the $arch installer under Wine"
    case $arch in i686) package=win32 ;; x86_64) package=win64 ;; esac
    bash "$ROOT/scripts/installer_test.sh" "$(loader_for "$arch")" "$package" || status=1
done
for arch in "${SKIPPED_ARCHES[@]}"; do
    log "Windows tests and the installer test for $arch skipped: $SKIP_REASON"
done
exit $status
