# Shared set-up for scripts/test and scripts/run: packages, build, Wine prefix.
# Sourced, not run.

QORVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QORVEL_BUILD=${QORVEL_BUILD_DIR:-$QORVEL_ROOT/build}
QORVEL_PACKAGES=(
  cmake make g++-mingw-w64-x86-64-posix mingw-w64 binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth xdotool python3 python3-xlib googletest imagemagick clang clang-format libclang-rt-14-dev
  wixl msitools faketime
)

say() { printf '== %s\n' "$*" >&2; }

qorvel_ensure_packages() {
  local missing=() p
  for p in "${QORVEL_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Runs the rest of the script on an Xvfb of its own when there is no display.
qorvel_ensure_display() {
  if [ -z "${DISPLAY:-}" ]; then
    export QORVEL_BARE_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  fi
}

# On that bare Xvfb (no window manager), keeps the windows' WM_STATE as a
# manager would, so that Wine does not wait 2 s for one at each window it
# hides (scripts/wm-state). It ends with the display.
qorvel_keep_wm_state() {
  [ -n "${QORVEL_BARE_XVFB:-}" ] || return 0
  (/usr/bin/python3 "$QORVEL_ROOT/scripts/wm-state" &)  # not a job: a script's wait does not wait for it
}

qorvel_wine() {
  if command -v wine64 >/dev/null 2>&1; then echo wine64
  elif [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64
  else echo wine; fi
}

# The tests' prefix; scripts/run and scripts/perfdump use their own (live disks).
QORVEL_TEST_PREFIX=$QORVEL_BUILD/wineprefix
QORVEL_RUN_PREFIX=$QORVEL_BUILD/runprefix

qorvel_wine_env() {
  export WINEPREFIX=${WINEPREFIX:-$QORVEL_TEST_PREFIX}
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  QORVEL_WINE=$(qorvel_wine)
  export QORVEL_WINE
}

qorvel_ensure_prefix() {
  qorvel_wine_env
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$QORVEL_WINE" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # A crashing program prints its backtrace and ends, instead of waiting for
  # someone to close a crash dialog (a test would hang until its timeout).
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    "$QORVEL_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 || true
    wineserver -w
  fi
}

qorvel_build() {
  say "configuring and building in $QORVEL_BUILD"
  cmake -S "$QORVEL_ROOT" -B "$QORVEL_BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$QORVEL_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=${QORVEL_BUILD_TYPE:-RelWithDebInfo} >/dev/null
  cmake --build "$QORVEL_BUILD" -j"$(nproc)"
}

# The version written in resources/version.h, as "1.2.4".
qorvel_version() {
  awk '/^#define QORVEL_VERSION_(MAJOR|MINOR|PATCH) / { v = v (v == "" ? "" : ".") $3 } END { print v }' \
    "$QORVEL_ROOT/resources/version.h"
}

# Builds what a release holds (the program, qorvelctl and the disk-counter
# provider) in the Release configuration, the same bytes from the same commit:
# SOURCE_DATE_EPOCH (the commit's time) stands for the build date.
QORVEL_RELEASE=${QORVEL_RELEASE_DIR:-$QORVEL_ROOT/build-release}
qorvel_build_release() {
  SOURCE_DATE_EPOCH=$(git -C "$QORVEL_ROOT" log -1 --format=%ct)
  export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
  say "building the release in $QORVEL_RELEASE"
  cmake -S "$QORVEL_ROOT" -B "$QORVEL_RELEASE" \
    -DCMAKE_TOOLCHAIN_FILE="$QORVEL_ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$QORVEL_RELEASE" -j"$(nproc)" --target qorvel qorvelctl qorvel_perfprov >/dev/null
}

# How many windows of a Windows program (its X class, "name.exe") show, once
# at least LEAST of them do or SECONDS have passed.
qorvel_shown_windows() {
  local class=$1 least=$2 seconds=$3 shown=0 i
  for ((i = 0; i < 2 * seconds; i++)); do
    shown=$( (xdotool search --onlyvisible --classname "$class" 2>/dev/null || true) | wc -l)
    [ "$shown" -ge "$least" ] && break
    sleep 0.5
  done
  echo "$shown"
}

# Keeps one wineserver alive for the whole run so each program starts fast.
# The first program of a new wineserver starts Wine's own services, which keep
# its standard output open; starting them here, with no pipe attached, keeps
# them from holding a test's output (ctest would wait for it to close).
qorvel_wineserver_hold() {
  qorvel_wine_env
  wineserver -p 2>/dev/null || true  # already held: fine
  # wineboot starts the current user's Run entries, and a program run in this
  # prefix registers itself there: take it out first, so that no instance is
  # running before the one a test or scripts/run starts.
  "$QORVEL_WINE" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v qorvel.exe /f \
    </dev/null >/dev/null 2>&1 || true
  "$QORVEL_WINE" wineboot </dev/null >/dev/null 2>&1 || true
}

qorvel_wineserver_release() {
  wineserver -k >/dev/null 2>&1 || true
}

# Registers the Wine disk-counter provider (tools/perfprov) in the prefix in
# use: "scripted" serves the disks the tests write into
# build/perfprov/disks.txt, "live" the Linux machine's disks. Needs the build.
qorvel_register_provider() {
  qorvel_wine_env
  mkdir -p "$QORVEL_BUILD/perfprov"
  say "registering the disk-counter provider ($1) in $WINEPREFIX"
  "$QORVEL_ROOT/tools/perfprov/register" "$1" "$QORVEL_BUILD/tools/qorvel_perfprov.dll" \
    "$QORVEL_BUILD/perfprov/disks.txt"
}
