#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the Windows tests under Wine, the portable
# codec natively with g++ and clang, and a short fuzzing run of each fuzz target.
source "$(dirname "$0")/common.sh"
install_packages
ensure_display
ensure_wine_prefix

cross_build
cross_build "$ROOT/cmake/mingw-x86_64.cmake" "$ROOT/build/x86_64"   # must build; tests run 32-bit

log "native build (g++)"
cmake -S "$ROOT" -B "$ROOT/build/native-gcc" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$ROOT/build/native-gcc" -j"$(nproc)"
log "native build (clang, with fuzzers)"
cmake -S "$ROOT" -B "$ROOT/build/native-clang" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
      -DCMAKE_BUILD_TYPE=Debug -DICONVALE_FUZZ=ON >/dev/null
cmake --build "$ROOT/build/native-clang" -j"$(nproc)"

status=0
log "native tests"
ctest --test-dir "$ROOT/build/native-gcc" --output-on-failure -j"$(nproc)" || status=1
ctest --test-dir "$ROOT/build/native-clang" --output-on-failure -j"$(nproc)" || status=1

# FUZZ_SECONDS for the stream parser, FUZZ_SECONDS_OTHERS for each of the smaller targets.
log "fuzzing the stream parser for ${FUZZ_SECONDS:-30} s"
"$ROOT/scripts/fuzz.sh" stream "${FUZZ_SECONDS:-30}" || status=1
for target in command_line setting_value property_table delphi_form lazarus_form resx; do
    log "fuzzing $target for ${FUZZ_SECONDS_OTHERS:-15} s"
    "$ROOT/scripts/fuzz.sh" "$target" "${FUZZ_SECONDS_OTHERS:-15}" || status=1
done

log "Windows tests under Wine"
ensure_full_drive
warm_up_desktop
# A test that hangs or fails under Wine gets one more try: the window tests that drive the
# platform's own dialogs can lose them when the machine is loaded.
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" --repeat until-pass:2 || status=1
exit $status
