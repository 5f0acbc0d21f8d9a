#!/usr/bin/env bash
# Installs a release installer under Wine as a user would, silently, with the .eil
# association and the English interface, opens a group with the installed program, checks what the installer left, then
# installs a newer package of the same product over it (the same package with its version raised
# and a product code of its own) and checks that the upgrade kept the settings file and the
# association (and ignored the LANGUAGE it was given), then uninstalls it silently and checks that nothing of it is left but what the
# README says.
#
#   bash scripts/installer_test.sh LOADER ARCH [MSI]
#
# LOADER runs the package's programs: /usr/lib/wine/wine for win32, /usr/lib/wine/wine64 for
# win64. ARCH is win32 or win64. MSI defaults to build/release/iconvale-<version>-ARCH.msi from
# scripts/package.sh. The prefix is a throwaway one of its own, never the tests' prefix.
# Ends with "N passed, N failed".
source "$(dirname "$0")/common.sh"

LOADER=${1:-}
ARCH=${2:-}
case $ARCH in
    win32) build=$ROOT/build/i686 ;;
    win64) build=$ROOT/build/x86_64 ;;
    *) echo "usage: $0 LOADER win32|win64 [MSI]" >&2; exit 2 ;;
esac
[ -x "$LOADER" ] || { echo "no Wine loader at '$LOADER'" >&2; exit 2; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
MSI=$(realpath "${3:-$ROOT/build/release/iconvale-$version-$ARCH.msi}")
[ -f "$MSI" ] || { echo "no installer at $MSI: run scripts/package.sh" >&2; exit 2; }
PROBE=$build/tests/installer_probe.exe
cmake --build "$build" --target installer_probe >/dev/null

WORK=$(mktemp -d /tmp/iconvale-installer-test.XXXXXX)
export WINEPREFIX=$WORK/prefix
export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko, and no menu entries or file types of the host's desktop from the shortcut
# and the association.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); printf 'ok     %s\n' "$1"; }
fail() { failed=$((failed + 1)); printf 'FAILED %s\n' "$1"; }
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
check_equal() {
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: '$2', expected '$3'"; fi
}

run() { "$LOADER" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
windows_variable() { run cmd /c echo "%$1%"; }
unix_path() { run winepath -u "$1"; }

# The data of one registry value ("" for the key's default value), as `reg query` shows it.
reg_value() {
    local key=$1 name=$2 option=(/v "$2")
    [ -z "$name" ] && option=(/ve)
    run reg query "$key" "${option[@]}" | sed -n 's/^    .*    REG_[A-Z_]*    //p' | head -1
}
reg_key_exists() { "$LOADER" reg query "$1" </dev/null >/dev/null 2>&1; }

# The installed-programs entry: Wine keeps it under HKLM even for a per-user package (in the
# view of the loader's own arch), and the user's product key names the icon.
product_code=$(msiinfo export "$MSI" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
uninstall_key() { printf 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s' "$1"; }
uninstall_key=$(uninstall_key "$product_code")
# Windows Installer's packed form of a GUID: the first three groups reversed, then each byte's
# two digits swapped.
packed_guid() {
    local hex=${1//[\{\}-]/}
    printf '%s%s%s%s' "$(rev <<<"${hex:0:8}")" "$(rev <<<"${hex:8:4}")" "$(rev <<<"${hex:12:4}")" \
        "$(sed 's/\(.\)\(.\)/\2\1/g' <<<"${hex:16}")"
}
product_key() { printf 'HKCU\\Software\\Microsoft\\Installer\\Products\\%s' "$(packed_guid "$1")"; }
product_key=$(product_key "$product_code")

# The newer package: a copy with the minor version raised, the product code that package.sh
# would give that version, a package code of its own, and Upgrade rows that name the new version.
newer_version=$(awk -F. '{ print $1 "." $2 + 1 }' <<<"$version")
NEWER_MSI=$WORK/$(basename "$MSI" .msi)-newer.msi
make_newer_package() {
    local template arch code table=$WORK/tables
    template=$(msiinfo suminfo "$MSI" | sed -n 's/^Template: //p')
    arch=${template%%;*}
    code=$(cmake -DVERSION="$newer_version" -DARCH="${arch/Intel/x86}" -P "$ROOT/installer/product_code.cmake")
    cp "$MSI" "$NEWER_MSI"
    msibuild "$NEWER_MSI" -q "UPDATE Property SET Value = '$newer_version' WHERE Property = 'ProductVersion'" \
        -q "UPDATE Property SET Value = '{$code}' WHERE Property = 'ProductCode'"
    # The versions are part of the Upgrade table's key, so the table is written anew.
    mkdir -p "$table"
    msiinfo export "$MSI" Upgrade | sed "s/\t$version\t/\t$newer_version\t/" >"$table/Upgrade.idt"
    msibuild "$NEWER_MSI" -i "$table/Upgrade.idt"
    msibuild "$NEWER_MSI" -s "Iconvale $newer_version" Iconvale "$template" \
        "{$(tr a-z A-Z </proc/sys/kernel/random/uuid)}"
    printf '{%s}\n' "$code"
}

ensure_display
log "creating a throwaway Wine prefix in $WINEPREFIX"
run wineboot -i >/dev/null
wineserver -w

local_app_data=$(windows_variable LOCALAPPDATA)
install_dir="$local_app_data\\Programs\\Iconvale"
install_unix=$(unix_path "$install_dir")
programs_unix=$(unix_path "$local_app_data\\Programs")
shortcut="$(windows_variable APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Iconvale.lnk"
shortcut_unix=$(unix_path "$shortcut")
programs_existed=false
[ -d "$programs_unix" ] && programs_existed=true

# A group in a folder whose name has a blank, so that the open command must quote it.
mkdir -p "$WORK/my groups"
cp "$build/art/toolbar.eil" "$WORK/my groups/toolbar group.eil"
group=$(run winepath -w "$WORK/my groups/toolbar group.eil")
msi_windows=$(run winepath -w "$MSI")

log "installing $(basename "$MSI") with $LOADER"
check "the installer asks for no administrator rights" \
    bash -c '(( $(msiinfo suminfo "$1" | sed -n "s/^Source: \([0-9]*\).*/\1/p") & 8 ))' _ "$MSI"
status=0
"$LOADER" msiexec /i "$msi_windows" /qn ASSOCIATE=1 LANGUAGE=en </dev/null >/dev/null 2>&1 || status=$?
check_equal "msiexec /i ends without error" "$status" 0
check_equal "LANGUAGE=en chose English in seting.ini" \
    "$(tr -d '\r' <"$install_unix/seting.ini" 2>/dev/null | tr '\n' ' ')" "[ui] language=en "

check "iconvale.exe is the built program" cmp -s "$install_unix/iconvale.exe" "$build/iconvale.exe"
check "image.ico is the built document icon" cmp -s "$install_unix/image.ico" "$build/image.ico"
check "the Start-menu shortcut exists" test -f "$shortcut_unix"
shortcut_text=$(run "$PROBE" shortcut "$shortcut" || true)
check_equal "the shortcut starts the installed program" \
    "$(sed -n 's/^target=//p' <<<"$shortcut_text")" "$install_dir\\iconvale.exe"
check_equal "the shortcut starts it in its folder" \
    "$(sed -n 's/^folder=//p' <<<"$shortcut_text")" "$install_dir\\"

classes='HKCU\Software\Classes'
check_equal ".eil names the ProgID" "$(reg_value "$classes\\.eil" "")" "e.imagelist"
check_equal ".eil has the content type" "$(reg_value "$classes\\.eil" "Content Type")" "imagelist"
check_equal "BrowserFlags" "$(reg_value "$classes\\e.imagelist" BrowserFlags)" "0x8"
check_equal "EditFlags" "$(reg_value "$classes\\e.imagelist" EditFlags)" "0x0"
check_equal "the document icon" "$(reg_value "$classes\\e.imagelist\\DefaultIcon" "")" \
    "$install_dir\\image.ico"
check_equal "the default verb" "$(reg_value "$classes\\e.imagelist\\shell" "")" "open"
check_equal "the open command" "$(reg_value "$classes\\e.imagelist\\shell\\open\\command" "")" \
    "\"$install_dir\\iconvale.exe\" \"%1\""

check_equal "installed programs show the name" "$(reg_value "$uninstall_key" DisplayName)" "Iconvale"
check_equal "installed programs show the version" "$(reg_value "$uninstall_key" DisplayVersion)" "$version"
icon=$(reg_value "$product_key" ProductIcon || true)
check "installed programs show the program's icon" cmp -s "$(unix_path "$icon")" "$build/art/iconvale.ico"

# Opened as the shell opens a document: the registered command with the group for "%1".
log "opening $group with the installed program"
"$LOADER" "$install_dir\\iconvale.exe" "$group" </dev/null >/dev/null 2>&1 &
program=$!
window=$(run "$PROBE" window 60 || true)
printf '%s\n' "$window" | sed 's/^/       /'
check_equal "the window shows the group's path" "$(sed -n 's/^path=//p' <<<"$window")" "$group"
check "the window lists the group's images" test "$(sed -n 's/^count=//p' <<<"$window")" -gt 0
check_equal "the program ends when its window is closed" "$(sed -n 's/^ended=//p' <<<"$window")" "1"
wait "$program" 2>/dev/null || true
check "the program wrote seting.ini beside itself" test -s "$install_unix/seting.ini"

# The user's choices survive an upgrade: the settings file as the program left it, and the
# association, read back from the earlier install although the command line does not ask for it.
cp "$install_unix/seting.ini" "$WORK/seting.ini"
newer_code=$(make_newer_package)
newer_windows=$(run winepath -w "$NEWER_MSI")
log "upgrading to $newer_version"
status=0
"$LOADER" msiexec /i "$newer_windows" /qn LANGUAGE=zh </dev/null >/dev/null 2>&1 || status=$?
check_equal "msiexec /i of the newer package ends without error" "$status" 0
check_equal "installed programs show the newer version" \
    "$(reg_value "$(uninstall_key "$newer_code")" DisplayVersion)" "$newer_version"
if reg_key_exists "$uninstall_key"; then fail "the older version is gone"; else pass "the older version is gone"; fi
check "iconvale.exe is still the built program" cmp -s "$install_unix/iconvale.exe" "$build/iconvale.exe"
check "the upgrade keeps seting.ini as it was" cmp -s "$install_unix/seting.ini" "$WORK/seting.ini"
check_equal "the upgrade keeps .eil's ProgID" "$(reg_value "$classes\\.eil" "")" "e.imagelist"
check_equal "the upgrade keeps the open command" \
    "$(reg_value "$classes\\e.imagelist\\shell\\open\\command" "")" "\"$install_dir\\iconvale.exe\" \"%1\""

log "uninstalling"
status=0
"$LOADER" msiexec /x "$newer_windows" /qn </dev/null >/dev/null 2>&1 || status=$?
check_equal "msiexec /x ends without error" "$status" 0
check "the program's folder is gone, seting.ini with it" test ! -e "$install_unix"
if ! $programs_existed; then
    check "the user's Programs folder, made for it, is gone" test ! -e "$programs_unix"
fi
check "the shortcut is gone" test ! -e "$shortcut_unix"
for key in "$classes\\.eil" "$classes\\e.imagelist" 'HKCU\Software\Iconvale' "$uninstall_key" \
    "$product_key" "$(uninstall_key "$newer_code")" "$(product_key "$newer_code")"; do
    if reg_key_exists "$key"; then fail "$key is gone"; else pass "$key is gone"; fi
done

log "installing without ASSOCIATE, and the older package over it"
status=0
"$LOADER" msiexec /i "$newer_windows" /qn </dev/null >/dev/null 2>&1 || status=$?
check_equal "msiexec /i without ASSOCIATE ends without error" "$status" 0
check "the program is installed" test -f "$install_unix/iconvale.exe"
check "no seting.ini without LANGUAGE" test ! -e "$install_unix/seting.ini"
if reg_key_exists "$classes\\.eil"; then fail "no association without ASSOCIATE"; else pass "no association without ASSOCIATE"; fi
status=0
"$LOADER" msiexec /i "$msi_windows" /qn </dev/null >/dev/null 2>&1 || status=$?
check "the older package is refused" test "$status" -ne 0
if reg_key_exists "$uninstall_key"; then fail "the older version is not installed"; else pass "the older version is not installed"; fi
status=0
"$LOADER" msiexec /x "$newer_windows" /qn </dev/null >/dev/null 2>&1 || status=$?
check_equal "msiexec /x ends without error again" "$status" 0

# Nothing else names the program: no file, no cached package, no registry entry.
wineserver -w
files=$(find "$WINEPREFIX/drive_c" \( -iname '*iconvale*' -o -iname 'seting.ini' \
    -o -path '*/windows/Installer/*.msi' \) -print)
check_equal "no file of it is left in the prefix" "$files" ""
entries=$(grep -i -e 'iconvale' -e 'e\.imagelist' -e '\\\\\.eil\]' "$WINEPREFIX"/*.reg || true)
check_equal "no registry entry of it is left" "$entries" ""

printf '%d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
