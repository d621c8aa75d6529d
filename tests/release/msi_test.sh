#!/usr/bin/env bash
# The installer, in a fresh Wine prefix:
# - msiexec /i /qn STARTATLOGON=1 puts qorvel.exe, qorvelctl.exe and README.txt
#   in the user's local programs folder, the Start-menu shortcut to the
#   program, the entry in "Apps" (version, publisher, help link, the program's
#   icon) and the logon entry "Start with Windows" writes;
# - the installed program shows its indicators; a package of a higher version
#   (the second clone's, with the version raised) replaces it in place while
#   it runs: the running copy ends, its settings file stays as it was, the
#   older entry in "Apps" goes and the logon entry stays;
# - msiexec /x ends the running copy and leaves the user's folders as they
#   were but for the settings file (and msiexec's own cache), the logon entry
#   gone; a logon entry that starts another copy stays.
#
#   msi_test.sh SOURCE_TREE WORK_FOLDER   (after package_test.sh: its clones)
set -euo pipefail
root=$1
work=$2
. "$root/scripts/lib.sh"
unset QORVEL_RELEASE_DIR QORVEL_BUILD_DIR
fail() { echo "FAILED: $*" >&2; exit 1; }

second=$work/the-second-clone/one-level-deeper
sed -i 's/^#define QORVEL_VERSION_MAJOR .*/#define QORVEL_VERSION_MAJOR 99/' "$second/resources/version.h"
"$second/scripts/package" 2>&1 | tail -1
older=$work/first/dist/qorvel-indicator-$(qorvel_version)-win64.msi
newer=$second/dist/qorvel-indicator-$(QORVEL_ROOT=$second qorvel_version)-win64.msi

export WINEPREFIX="$work/msi prefix"
qorvel_wine_env
trap 'wineserver -k 2>/dev/null || true' EXIT
"$QORVEL_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
QORVEL_WINE=$QORVEL_WINE "$root/tools/perfprov/register" scripted \
  "$work/first/build-release/tools/qorvel_perfprov.dll" "$work/disks.txt"
wine() { "$QORVEL_WINE" "$@" </dev/null; }
listing() { (cd "$WINEPREFIX/drive_c/users" && find . -type f -printf '%p %s\n' -o -printf '%p %y\n' | sort); }
run_entry() { wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v qorvel.exe 2>/dev/null |
  tr -d '\r' | sed -n 's/^ *qorvel.exe *REG_SZ *//p'; }
apps_entry() {  # the value of the "Apps" entry of the package's product
  local product
  product=$(msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
  wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product" /v "$2" 2>/dev/null |
    tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
start() {
  wine "$folder/qorvel.exe" s >/dev/null 2>&1 &
  program=$!
  [ "$(qorvel_shown_windows qorvel.exe 5 20)" -eq 5 ] || fail "the installed program shows no indicators"
}
before=$(listing)

wine msiexec /i "$older" /qn STARTATLOGON=1 >/dev/null || fail "msiexec /i ended with $?"
home=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -not -name Public)
folder="$home/AppData/Local/Programs/Qorvel Indicator"
for file in qorvel.exe README.txt; do  # as in the zip (package_test.sh unpacked it)
  cmp -s "$folder/$file" "$work/Program Files/Qorvel Indicator/$file" || fail "the installed $file"
done
cmp -s "$folder/qorvelctl.exe" "$work/first/build-release/tools/qorvelctl.exe" || fail "the installed qorvelctl.exe"
wfolder=$(wine winepath -w "$folder" | tr -d '\r')
grep -qaF "$wfolder\\qorvel.exe" "$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Qorvel Indicator.lnk" ||
  fail "no Start-menu shortcut to the program"
[ "$(apps_entry "$older" DisplayVersion)|$(apps_entry "$older" Publisher)|$(apps_entry "$older" HelpLink)" = \
  "$(qorvel_version)|The Qorvel Indicator project|$wfolder\\README.txt" ] || fail "the Apps entry"
cmp -s "$root/resources/icons/app.ico" "$(find "$home/AppData/Roaming/Microsoft/Installer" -name qorvel.ico)" ||
  fail "the Apps entry's icon"
[ "$(run_entry)" = "\"$wfolder\\qorvel.exe\" s" ] || fail "the logon entry is '$(run_entry)'"

# A first run writes the settings; during the second the newer package replaces it.
start
wine "$folder/qorvelctl.exe" exit >/dev/null
settings_file="$home/AppData/Local/Qorvel Indicator/settings.ini"
settings=$(cat "$settings_file")
start
wine msiexec /i "$newer" /qn >/dev/null || fail "the upgrade ended with $?"
timeout 20 tail --pid=$program -f /dev/null || fail "the upgrade left the program running"
[ "$settings" = "$(cat "$settings_file")" ] || fail "the settings changed"
cmp -s "$folder/qorvel.exe" "$second/build-release/qorvel.exe" || fail "the upgrade left the older program"
[ -z "$(apps_entry "$older" DisplayVersion)" ] && [ -n "$(apps_entry "$newer" DisplayVersion)" ] ||
  fail "the Apps entries after the upgrade"
[ "$(run_entry)" = "\"$wfolder\\qorvel.exe\" s" ] || fail "the upgrade took the logon entry"

start
wine msiexec /x "$newer" /qn >/dev/null || fail "msiexec /x ended with $?"
timeout 20 tail --pid=$program -f /dev/null || fail "the removal left the program running"
[ -z "$(run_entry)" ] || fail "the removal left the logon entry"
[ -s "$settings_file" ] || fail "the removal took the settings file"
after=$(listing | grep -v -e '/AppData/Local/Qorvel Indicator' -e '/AppData/Roaming/Microsoft/Installer d$')
[ "$before" = "$after" ] || fail "the removal left: $(diff <(echo "$before") <(echo "$after"))"

# Another copy's logon entry stays, and an install without STARTATLOGON=1 writes none.
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v qorvel.exe /d '"C:\Other\qorvel.exe" s' /f >/dev/null
wine msiexec /i "$newer" /qn >/dev/null
wine msiexec /x "$newer" /qn >/dev/null
[ "$(run_entry)" = '"C:\Other\qorvel.exe" s' ] || fail "the removal took another copy's logon entry"
