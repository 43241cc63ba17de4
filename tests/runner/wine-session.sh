#!/usr/bin/env bash
# Sets up and tears down what the Windows tests run in:
#   wine-session.sh start BUILD_DIR   - X display, Wine prefix, scratch drives, warm wineserver
#   wine-session.sh stop BUILD_DIR
# The prefix is made once; later starts take well under a second.
set -euo pipefail
action=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8   # pins the ANSI code page to 1252
drives=$build/wine-drives
state=$build/wine-session.env
wineserver=/usr/lib/wine/wineserver64

start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "DISPLAY=$DISPLAY" >"$state"; return
  fi
  local n
  for n in $(seq 91 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    echo "DISPLAY=:$n" >"$state"; echo "XVFB_PID=$!" >>"$state"
    export DISPLAY=:$n
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.1; done
    echo "Xvfb did not start on :$n" >&2; exit 1
  done
  echo "no free X display number" >&2; exit 1
}

map_drives() {
  # Drive letters must exist before the wineserver starts.
  mkdir -p "$drives/source" "$drives/target" "$drives/small" "$drives/docs/Dokumente"
  # Runs with versions on keep what they replace in the shared target's store:
  # each session starts with none, as a later test's run would otherwise list
  # every earlier session's.
  rm -rf "$drives/target/.Kelvorin-Versionen"
  # V: must be a 2 MB drive: the full-drive tests are meaningless on a big one.
  if ! mountpoint -q "$drives/small"; then
    local err
    if ! err=$(mount -t tmpfs -o size=2m tmpfs "$drives/small" 2>&1); then
      echo "cannot mount the 2 MB tmpfs for V: at $drives/small (needs root or CAP_SYS_ADMIN): $err" >&2
      exit 1
    fi
  fi
  # F: a FAT32 stick, Y: an exFAT one, as real volumes on images.
  "$here/stick-volumes.sh" up "$drives"
  local changed=0 letter dir
  for pair in s:source t:target v:small k:docs f:fat32 y:exfat; do
    letter=${pair%%:*}; dir=$drives/${pair#*:}
    if [ "$(readlink "$WINEPREFIX/dosdevices/$letter:" 2>/dev/null)" != "$dir" ]; then
      ln -sfn "$dir" "$WINEPREFIX/dosdevices/$letter:"; changed=1
    fi
  done
  if [ $changed -ne 0 ]; then
    # -k only asks; a server still on its way out would refuse the -p below.
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
  fi
}

wait_for_desktop() {
  local pid
  for _ in $(seq 300); do
    for pid in $(pgrep -f 'explorer.exe /desktop' 2>/dev/null); do
      tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && return 0
    done
    sleep 0.1
  done
  echo "the Wine desktop did not start" >&2
}

case $action in
start)
  start_display
  . "$state"; export DISPLAY
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    "$wineserver" -w
    cp /usr/share/wine/fonts/tahoma*.ttf /usr/share/wine/fonts/marlett.ttf \
       "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # Again whenever the settings changed, so that older prefixes follow them.
  if [ "$here/test-prefix.reg" -nt "$WINEPREFIX/.test-prefix-imported" ]; then
    /usr/lib/wine/wine64 regedit /S "$(winepath -w "$here/test-prefix.reg" 2>/dev/null || echo "$here/test-prefix.reg")" >/dev/null 2>&1
    timeout 60 "$wineserver" -w || true   # a server left persistent would never end
    touch "$WINEPREFIX/.test-prefix-imported"
  fi
  map_drives
  "$wineserver" -p 2>/dev/null || true  # already running: keep it
  if [ -f "$build/tests/wine_holder.exe" ]; then
    /usr/lib/wine/wine64 "$build/tests/wine_holder.exe" </dev/null >/dev/null 2>&1 &
    echo "HOLDER_PID=$!" >>"$state"
    # Wine's services and desktop inherit the output of the process that starts
    # them: they must come up from the holder's /dev/null, not from the first
    # test, or CTest waits on its pipe for as long as the server lives.
    wait_for_desktop
  fi
  ;;
stop)
  if [ -f "$state" ]; then
    . "$state"
    "$wineserver" -k 2>/dev/null || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    mountpoint -q "$drives/small" && umount "$drives/small" 2>/dev/null || true
    "$here/stick-volumes.sh" down "$drives"
    rm -f "$state"
  fi
  ;;
*) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
