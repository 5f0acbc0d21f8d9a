#!/usr/bin/env bash
# Builds the release files of both arches into build/release/ (RELEASE_DIR): the archives
# iconvale-<version>-win32.zip and -win64.zip, and the per-user installers
# iconvale-<version>-win32.msi and -win64.msi. It takes the programs from build/i686 and
# build/x86_64, brought up to date first; a missing build folder is made.
#
#   bash scripts/package.sh [win32|win64]   (one arch only)
source "$(dirname "$0")/common.sh"

RELEASE_DIR=${RELEASE_DIR:-$ROOT/build/release}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# One value of a build folder's CMake cache; the version is project()'s, as in the resource.
cache_value() { sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"; }

has_cli_target() { cmake --build "$1" --target help | grep -qw 'iconvale-cli'; }

build_programs() {
    local toolchain=$1 dir=$2 targets=(iconvale)
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    if has_cli_target "$dir"; then targets+=(iconvale-cli); fi
    log "building ${targets[*]} in $dir"
    cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}"
}

# The readme of the archive, with Windows line ends and a BOM so that any Notepad reads it.
write_readme() {
    local version=$1 arch=$2 out=$3
    {
        printf '\xEF\xBB\xBF'
        sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$arch/g" -e 's/$/\r/' "$ROOT/installer/readme.txt"
    } >"$out"
}

make_zip() {
    local dir=$1 name=$2 version=$3 arch=$4 stage=$WORK/$2
    mkdir -p "$stage"
    cp "$dir/iconvale.exe" "$dir/image.ico" "$stage/"
    if has_cli_target "$dir"; then cp "$dir/iconvale-cli.exe" "$stage/"; fi
    write_readme "$version" "$arch" "$stage/readme.txt"
    rm -f "$RELEASE_DIR/$name.zip"
    (cd "$WORK" && zip -q -X -r "$RELEASE_DIR/$name.zip" "$name")
}

# What wixl 0.101 (Debian 12) cannot say in the .wxs, set in the finished database:
# - the settings file that the program writes beside itself goes on a real uninstall: its row
#   names SETTINGSDIR as its folder, which the .wxs sets only then (empty, the row is skipped);
# - the association is written only with ASSOCIATE=1 (which the .wxs also reads back from an
#   earlier install), and "Installed" keeps the component enabled on uninstall, which would
#   otherwise leave it behind;
# - the same version counts as one to replace, so that installing one arch's package removes
#   the other's;
# - the old version goes with its features named (UPGRADE_REMOVES) rather than REMOVE=ALL, which
#   only a real uninstall has. Windows also marks that uninstall with UPGRADINGPRODUCTCODE, but
#   Wine runs it as "msiexec /i {product} REMOVE=<this column>" and sets nothing else. The list
#   must name every feature that any released version had;
# - LANGUAGE=en|zh writes "[ui] language=" into seting.ini on a first install only: an IniFile
#   row of the LanguageChoice component, which is installed only then. Its action adds the line
#   only where the file has none, and RemoveIniValues is not sequenced, so that the uninstall
#   inside an upgrade never takes the line out of the user's file (a real uninstall removes the
#   whole file).
UPGRADE_REMOVES=Main,Association
finish_msi() {
    local msi=$1 version=$2 upgrade table=$WORK/ini
    upgrade=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^UpgradeCode\t//p')
    msibuild "$msi" -q "INSERT INTO RemoveFile (FileKey, Component_, FileName, DirProperty, InstallMode) \
VALUES ('Settings', 'Program', 'seting.ini', 'SETTINGSDIR', 2)"
    msibuild "$msi" -q "UPDATE Component SET Condition = 'ASSOCIATE = \"1\" OR Installed' WHERE Component = 'Association'"
    # Attributes is part of the Upgrade table's key, so the row is replaced, not updated.
    msibuild "$msi" -q "DELETE FROM Upgrade WHERE ActionProperty = 'OLDERFOUND'"
    msibuild "$msi" -q "INSERT INTO Upgrade (UpgradeCode, VersionMin, VersionMax, Attributes, Remove, ActionProperty) \
VALUES ('$upgrade', '0.0.0', '$version', 768, '$UPGRADE_REMOVES', 'OLDERFOUND')"
    msibuild "$msi" -q "UPDATE Component SET Condition = '((LANGUAGE = \"en\" OR LANGUAGE = \"zh\") AND NOT OLDERFOUND) OR Installed' WHERE Component = 'LanguageChoice'"
    mkdir -p "$table"
    # Action 1 (msidbIniFileActionCreateLine): a line that is there already stays as it is.
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\r\n' \
        IniFile FileName DirProperty Section Key Value Action Component_ \
        s72 l255 S72 l96 l128 l255 i2 s72 \
        IniFile IniFile '' '' '' '' '' '' \
        Language seting.ini INSTALLDIR ui language '[LANGUAGE]' 1 LanguageChoice \
        | sed 's/\t*\r$/\r/' >"$table/IniFile.idt"
    msibuild "$msi" -i "$table/IniFile.idt"
    msibuild "$msi" -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('WriteIniValues', 5100)"
}

make_msi() {
    local dir=$1 name=$2 version=$3 wixarch=$4 msi=$RELEASE_DIR/$2.msi code output
    code=$(cmake -DVERSION="$version" -DARCH="$wixarch" -P "$ROOT/installer/product_code.cmake")
    # This wixl finds sources only by paths relative to the folder it runs in.
    local defines=(-D "Version=$version" -D "ProductCode=$code" -D "BuildDir=$(realpath --relative-to="$ROOT" "$dir")")
    if has_cli_target "$dir"; then defines+=(-D HasCli=1); fi
    rm -f "$msi"
    if ! output=$(cd "$ROOT" && wixl -a "$wixarch" "${defines[@]}" -o "$msi" installer/iconvale.wxs 2>&1); then
        printf '%s\n' "$output" >&2
        return 1
    fi
    finish_msi "$msi" "$version"
}

install_packages
mkdir -p "$RELEASE_DIR"
built=()
release_version=""
for entry in "win32 mingw-i686 i686 x86" "win64 mingw-x86_64 x86_64 x64"; do
    read -r arch toolchain folder wixarch <<<"$entry"
    if [ $# -gt 0 ] && [ "$1" != "$arch" ]; then continue; fi
    dir=$ROOT/build/$folder
    build_programs "$ROOT/cmake/$toolchain.cmake" "$dir"
    version=$(cache_value "$dir" CMAKE_PROJECT_VERSION)
    if [ -z "$version" ] || { [ -n "$release_version" ] && [ "$version" != "$release_version" ]; }; then
        log "the build folders disagree on the version ('$release_version', '$version'): configure them again"
        exit 1
    fi
    release_version=$version
    name=iconvale-$version-$arch
    log "packaging $name"
    make_zip "$dir" "$name" "$version" "$arch"
    make_msi "$dir" "$name" "$version" "$wixarch"
    built+=("$RELEASE_DIR/$name.zip" "$RELEASE_DIR/$name.msi")
done

log "release files in $RELEASE_DIR"
for file in "${built[@]}"; do
    printf '%10d bytes  %s\n' "$(stat -c %s "$file")" "$(basename "$file")"
done
