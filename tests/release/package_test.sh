#!/usr/bin/env bash
# The portable release:
# - two clones of the same commit, in folders of different names and depths,
#   built one after the other, package the same bytes (the zip and the
#   installer);
# - the zip holds qorvel.exe and README.txt, named with the version that the
#   program's version resource and About text carry, and the About text's
#   date is the commit's time;
# - unpacked into a folder whose path has spaces and started in a fresh Wine
#   prefix, the program shows the indicators of the disks there, writes its
#   settings where README.txt says, and ends through the exit event.
#
#   package_test.sh SOURCE_TREE WORK_FOLDER   (the clones stay for install_test.sh and msi_test.sh)
set -euo pipefail
root=$1
work=$2
. "$root/scripts/lib.sh"
unset QORVEL_RELEASE_DIR QORVEL_BUILD_DIR
fail() { echo "FAILED: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
for clone in first the-second-clone/one-level-deeper; do
  git clone -q "$root" "$work/$clone"
  "$work/$clone/scripts/package" 2>&1 | tail -2
done
first=$(cat "$work/first/dist/SHA256SUMS")
for file in SHA256SUMS "qorvel-indicator-$(qorvel_version)-win64.msi"; do  # the sums of the zip and the installer
  cmp -s "$work"/{first,the-second-clone/one-level-deeper}/dist/"$file" || fail "the clones' $file differ"
done

version=$(qorvel_version)
zip=$work/first/dist/qorvel-indicator-$version-win64.zip
date=$(LC_ALL=C TZ=UTC date -d "@$(git -C "$root" log -1 --format=%ct)" '+%b %e %Y %H:%M:%S')
python3 - "$zip" "$work/Program Files/Qorvel Indicator" "$version" "$date" <<'PY' || fail "the zip's contents"
import re, sys, zipfile
target, folder, version, date = sys.argv[1:5]
archive = zipfile.ZipFile(target)
names = archive.namelist()
assert names == ["qorvel.exe", "README.txt"], names
program = archive.read("qorvel.exe")
wide = lambda text: text.encode("utf-16-le")
# The version resource's strings, and the About text with the commit's date.
for key in ("FileVersion", "ProductVersion"):
    assert re.search(wide(key) + b"\0\0(\0\0)?" + wide(version) + b"\0\0", program), key
assert wide(f"Qorvel Indicator version {version} {date}") in program, date
readme = archive.read("README.txt").decode("utf-8")
assert f"Qorvel Indicator {version}\r\n" in readme and "\n" not in readme.replace("\r\n", "")
assert r"%LOCALAPPDATA%\Qorvel Indicator\settings.ini" in readme
archive.extractall(folder)
PY

# A fresh prefix, with the disk-counter provider serving two scripted drives.
export WINEPREFIX="$work/fresh prefix"
qorvel_wine_env
"$QORVEL_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
printf 'qorvel-disks 1\nphysical | 0 C: | 1400=0\nphysical | 1 D: | 1400=0\nlogical | C: |\nlogical | D: |\nend\n' \
  >"$work/disks.txt"
QORVEL_WINE=$QORVEL_WINE "$root/tools/perfprov/register" scripted \
  "$work/first/build-release/tools/qorvel_perfprov.dll" "$work/disks.txt"
"$QORVEL_WINE" "$work/Program Files/Qorvel Indicator/qorvel.exe" s </dev/null >/dev/null 2>&1 &
program=$!
# Drive 0, drive 1, All, C: and D:, each a small window of the program.
shown=$(qorvel_shown_windows qorvel.exe 5 20)
[ "$shown" -eq 5 ] || fail "$shown indicator windows shown, not 5"
"$QORVEL_WINE" "$work/first/build-release/tools/qorvelctl.exe" exit </dev/null
timeout 20 tail --pid=$program -f /dev/null || fail "the exit event did not end the program"
wait $program || fail "the program ended with $?"
settings=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Qorvel Indicator/settings.ini')
[ -n "$settings" ] || fail "no settings.ini in AppData\\Local\\Qorvel Indicator"
grep -q "^version=$version" "$settings" || fail "the settings file lacks version=$version"
grep -q '^\[\\\\.\\PHYSICALDRIVE1\]' "$settings" || fail "the settings file lacks drive 1's section"
wineserver -k 2>/dev/null || true
echo "zip: $(stat -c %s "$zip") bytes, $first"
