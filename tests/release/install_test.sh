#!/usr/bin/env bash
# The Linux install, with HOME and the XDG folders in a temporary folder:
# - scripts/install --autostart puts the program, its provider and its own
#   prefix under XDG_DATA_HOME, a menu entry with the program's icon and an
#   autostart entry;
# - the entries' Exec lines, run as a desktop session runs them (only HOME,
#   the XDG folders, the display and its key, and a plain PATH): the autostart entry's shows
#   an indicator for every disk the live provider serves, and the menu
#   entry's, as a second start, opens the running copy's Options window;
# - the launcher's --exit ends it through the exit event;
# - scripts/install --remove leaves the folders as they were before.
#
#   install_test.sh CLONE   (a clone that scripts/package has built)
set -euo pipefail
clone=$1
. "$clone/scripts/lib.sh"
fail() { echo "FAILED: $*" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_DATA_HOME=$scratch/home/data XDG_CONFIG_HOME=$scratch/home/config
mkdir -p "$XDG_DATA_HOME/applications"
echo "[Desktop Entry]" >"$XDG_DATA_HOME/applications/someone-else.desktop"  # not the install's
listing() { (cd "$scratch" && find . -printf '%p %y %s\n' | sort); }
before=$(listing)

"$clone/scripts/install" --autostart 2>&1 | tail -2
home=$XDG_DATA_HOME/qorvel-indicator
for file in qorvel.exe qorvelctl.exe qorvel_perfprov.dll qorvel-indicator qorvel-indicator.png prefix/system.reg; do
  [ -e "$home/$file" ] || fail "no $home/$file"
done
menu=$XDG_DATA_HOME/applications/qorvel-indicator.desktop
autostart=$XDG_CONFIG_HOME/autostart/qorvel-indicator.desktop
grep -qx "Icon=$home/qorvel-indicator.png" "$menu" || fail "the menu entry's icon"
grep -qx "Exec=\"$home/qorvel-indicator\"" "$menu" || fail "the menu entry's Exec line"
grep -qx "Exec=\"$home/qorvel-indicator\" s" "$autostart" || fail "the autostart entry's Exec line"
[ ! -e "$HOME/.local" ] || fail "Wine or the install wrote into ~/.local: $(find "$HOME/.local" | head -3)"

# The Exec line as a desktop session runs it: no variables from the build.
session() { env -i HOME="$HOME" XDG_DATA_HOME="$XDG_DATA_HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
  DISPLAY="$DISPLAY" ${XAUTHORITY:+XAUTHORITY="$XAUTHORITY"} PATH=/usr/local/bin:/usr/bin:/bin sh -c "$1"; }
# The login's start first (silent: the indicators alone), then the menu's.
session "$(sed -n 's/^Exec=//p' "$autostart")" </dev/null >/dev/null 2>&1 &
program=$!
[ "$(qorvel_shown_windows qorvel.exe 2 30)" -ge 2 ] || fail "no indicators shown"
sleep 2  # every indicator is made by now
shown=$(xdotool search --onlyvisible --classname qorvel.exe | wc -l)
# A second start hands over to the first and ends: the Options window shows.
session "$(sed -n 's/^Exec=//p' "$menu")" </dev/null >/dev/null 2>&1 || fail "the second start"
timeout 20 xdotool search --sync --onlyvisible --name '^Qorvel Indicator$' >/dev/null || fail "no Options window"
session "\"$home/qorvel-indicator\" --exit" </dev/null >/dev/null 2>&1
timeout 20 tail --pid=$program -f /dev/null || fail "the exit event did not end the program"
wait $program || fail "the program ended with $?"
# It showed an indicator for each disk the live provider serves, All and each
# Wine drive, and each wrote its section: the machine's first disk is drive 0.
settings=$(find "$XDG_DATA_HOME/qorvel-indicator/prefix/drive_c/users" -path '*/Qorvel Indicator/settings.ini')
grep -q '^\[\\\\.\\PHYSICALDRIVE0\]' "$settings" || fail "no section for drive 0"
sections=$(grep -c '^\[\(\\\\\|_Total\]\)' "$settings")
[ "$shown" -eq "$sections" ] || fail "$shown windows shown for $sections indicators"
grep -q '^StartWithWindows=0' "$settings" || fail "the Windows logon entry was left on"

"$clone/scripts/install" --remove 2>&1 | tail -1
after=$(listing)
[ "$before" = "$after" ] || fail "the folders differ after --remove: $(diff <(echo "$before") <(echo "$after"))"
