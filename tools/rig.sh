#!/usr/bin/env bash
# The test rig: a private 32-bit Wine prefix, a virtual X server, the driver double running as
# kernel service VTusb and a simulated controller plugged in.
#
#   rig.sh up RIG_DIR BUILD_DIR [WIDTHxHEIGHT]   start everything, write RIG_DIR/env.sh
#                                                (RIG_DISPLAY=:0 uses that display, no Xvfb)
#   rig.sh down RIG_DIR                          stop everything that "up" started
#   rig.sh driver start|stop RIG_DIR             load or unload the driver double
#   rig.sh controller plug|unplug RIG_DIR        plug or unplug the simulated controller
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

# Wine's helper processes (services, winedevice) inherit standard output and error; they must
# not hold a caller's pipe open for the rest of the run.
quiet() {
  "$@" </dev/null >/dev/null 2>&1
}

load_env() {
  local rig=$1
  [ -f "$rig/env.sh" ] || { echo "rig: $rig is not up" >&2; exit 1; }
  # shellcheck disable=SC1091
  . "$rig/env.sh"
}

start_x() {
  local rig=$1 size=$2 pid n=""
  # An X display of the user's own, when asked for: nothing to start.
  if [ -n "${RIG_DISPLAY:-}" ]; then
    echo "$RIG_DISPLAY"
    return
  fi
  # The server chooses a free display number itself and writes it once it accepts clients, so
  # rigs started at the same time never share one.
  rm -f "$rig/display.num"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset \
    3>"$rig/display.num" >"$rig/xvfb.log" 2>&1 &
  pid=$!
  echo "$pid" >"$rig/xvfb.pid"
  for _ in $(seq 1 200); do
    n=$(tr -dc 0-9 <"$rig/display.num" 2>/dev/null || true)
    [ -n "$n" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -n "$n" ] && kill -0 "$pid" 2>/dev/null && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
    echo ":$n"
    return
  fi
  echo "rig: Xvfb did not start: $(tail -n 3 "$rig/xvfb.log" | tr '\n' ' ')" >&2
  kill "$pid" 2>/dev/null || true
  rm -f "$rig/xvfb.pid"
  exit 1
}

write_env() {
  local rig=$1 display=$2
  cat >"$rig/env.sh" <<ENV
export WINEPREFIX='$rig/prefix'
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export DISPLAY='$display'
export TESSARO_RIG_DIR='$rig'
export TESSARO_BUILD_DIR='$build'
ENV
}

service_is() {
  wine sc query VTusb </dev/null >"$TESSARO_RIG_DIR/service.txt" 2>&1 || true
  grep -q "$1" "$TESSARO_RIG_DIR/service.txt"
}

driver() {
  local action=$1
  case $action in
    start)
      service_is RUNNING && return 0
      quiet wine sc start VTusb
      # winedevice creates the control device shortly after the service reports it started.
      for _ in $(seq 1 100); do
        quiet wine "$TESSARO_BUILD_DIR/stand_ins/driver_double/double_ctl.exe" state && return 0
        sleep 0.1
      done
      echo "rig: the driver double did not start" >&2
      exit 1
      ;;
    stop)
      quiet wine sc stop VTusb || true
      for _ in $(seq 1 100); do
        service_is STOPPED && return 0
        sleep 0.1
      done
      ;;
  esac
}

controller() {
  quiet wine "$TESSARO_BUILD_DIR/stand_ins/usb_controller/plug_controller.exe" "$1"
}

up() {
  local rig=$1 size=${3:-1024x768}
  build=$(cd "$2" && pwd)
  mkdir -p "$rig"
  rig=$(cd "$rig" && pwd)
  [ -f "$rig/env.sh" ] && down "$rig"
  local display
  display=$(start_x "$rig" "$size")
  write_env "$rig" "$display"
  load_env "$rig"
  mkdir -p "$WINEPREFIX"
  quiet wineboot -i
  # Without a window manager, Wine must place every window itself (a maximised popup would
  # otherwise wait for a window manager that never answers).
  quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  # A program that crashes ends at once instead of waiting in the debugger until its test times
  # out: the "debugger" is a command that returns straight away.
  quiet wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'cmd.exe /c rem' /f
  cp "$build/stand_ins/driver_double/vtusb.sys" "$WINEPREFIX/drive_c/windows/system32/drivers/vtusb.sys"
  quiet wine sc create VTusb type= kernel start= demand binpath= 'C:\windows\system32\drivers\vtusb.sys'
  # The service manager of a new prefix only starts a service it read at its own start.
  wineserver -k || true
  wineserver -w || true
  # One persistent wineserver for the whole run keeps every later start fast.
  quiet wineserver -p
  driver start
  controller plug
  echo "rig up: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
}

down() {
  local rig=$1
  [ -f "$rig/env.sh" ] || return 0
  load_env "$rig"
  if [ -d "$WINEPREFIX" ]; then
    driver stop || true
    quiet wine sc delete VTusb || true
    wineserver -k || true
    wineserver -w || true
  fi
  if [ -f "$rig/xvfb.pid" ]; then
    kill "$(cat "$rig/xvfb.pid")" 2>/dev/null || true
    rm -f "$rig/xvfb.pid"
  fi
  rm -rf "$WINEPREFIX" "$rig/env.sh"
  echo "rig down"
}

case ${1:-} in
  up) up "$2" "$3" "${4:-}" ;;
  down) down "$2" ;;
  driver) load_env "$3"; driver "$2" ;;
  controller) load_env "$3"; controller "$2" ;;
  *) sed -n '2,9p' "$0" >&2; exit 2 ;;
esac
