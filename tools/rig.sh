#!/usr/bin/env bash
# The test rig: a private Wine prefix, an X server of its own, the driver double running as
# kernel service VTusb and a simulated controller plugged in.
#
#   rig.sh up RIG_DIR BUILD_DIR [WIDTHxHEIGHT | dual]
#        start everything, write RIG_DIR/env.sh; "dual" gives two monitors (primary 1280 x 1024,
#        a 1024 x 768 monitor to its left); RIG_DISPLAY=:0 uses that display, no X server
#   rig.sh down RIG_DIR                          stop everything that "up" started
#   rig.sh driver start|stop RIG_DIR             load or unload the driver double
#   rig.sh controller plug|unplug RIG_DIR        plug or unplug the simulated controller
#
# The prefix is 32-bit or 64-bit as the build's driver double is (see tools/wine-mode.sh). The
# output of every helper goes to RIG_DIR/rig.log; a step that fails says which and shows the
# log's tail. A rig holds a lock on its folder for its whole life: a second "up" there refuses.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

fail() {
  echo "rig: $*" >&2
  if [ -n "${log:-}" ] && [ -s "$log" ]; then
    echo "rig: last lines of $log:" >&2
    tail -n 15 "$log" | sed 's/^/  | /' >&2
  fi
  exit 1
}

# run WHAT COMMAND...: one helper step, its output in the log. Wine's helper processes
# (services, winedevice) inherit the output, so it must be a file, never a caller's pipe.
run() {
  local what=$1 status=0
  shift
  echo "--- $what: $*" >>"$log"
  "$@" </dev/null >>"$log" 2>&1 || status=$?
  [ $status -eq 0 ] || fail "$what failed: $* (exit $status)"
}

load_env() {
  local rig=$1
  [ -f "$rig/env.sh" ] || { echo "rig: $rig is not up" >&2; exit 1; }
  # shellcheck disable=SC1091
  . "$rig/env.sh"
  log=$TESSARO_RIG_DIR/rig.log
}

# The pid and start time of a process: a pid alone may belong to another process by now.
process_identity() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  # Field 22 of stat is the start time; 20 of what follows the command name.
  echo "$1 $(echo "$stat" | cut -d' ' -f20)"
}

stop_x() {
  local rig=$1 identity
  [ -f "$rig/x.pid" ] || return 0
  identity=$(cat "$rig/x.pid")
  if [ "$(process_identity "${identity%% *}" || true)" = "$identity" ]; then
    kill "${identity%% *}" 2>/dev/null || true
    for _ in $(seq 1 100); do
      kill -0 "${identity%% *}" 2>/dev/null || break
      sleep 0.1
    done
  fi
  rm -f "$rig/x.pid"
}

start_x() {
  local rig=$1 screen=$2 pid n=""
  # An X display of the user's own, when asked for: nothing to start.
  if [ -n "${RIG_DISPLAY:-}" ]; then
    display=$RIG_DISPLAY
    return
  fi
  # The server chooses a free display number itself and writes it once it accepts clients, so
  # rigs started at the same time never share one.
  : >"$rig/display.num"
  if [ "$screen" = dual ]; then
    # Xvfb puts every screen at 0,0; Xorg's dummy driver with Xinerama lays them side by side.
    command -v Xorg >/dev/null || fail "two monitors need Xorg (package xserver-xorg-core)"
    Xorg -displayfd 3 -config "$here/two-monitors.xorg.conf" -noreset -nolisten tcp \
      -logfile "$rig/x.log" 3>"$rig/display.num" >>"$log" 2>&1 &
  else
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset \
      3>"$rig/display.num" >>"$log" 2>&1 &
  fi
  pid=$!
  # The rig, not this shell, watches the server: no job report when it ends.
  disown "$pid"
  process_identity "$pid" >"$rig/x.pid" || true
  for _ in $(seq 1 300); do
    n=$(tr -dc 0-9 <"$rig/display.num")
    [ -n "$n" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$n" ] || fail "the X server did not start (${screen})"
  kill -0 "$pid" 2>/dev/null || fail "the X server ended right after it started"
  DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 || fail "the X server :$n does not answer"
  display=:$n
}

# A Unix path as the prefix's programs see it (drive Z: is the Unix root).
winepath_of() {
  echo "Z:${1//\//\\}"
}

# 32 or 64: what the build's driver double is made for, and so the prefix it needs.
build_bits() {
  local sys=$1/stand_ins/driver_double/vtusb.sys
  [ -f "$sys" ] || fail "$sys is missing: build first"
  case $(file -b "$sys") in
    PE32+*) echo 64 ;;
    PE32*) echo 32 ;;
    *) fail "$sys is not a Windows driver image" ;;
  esac
}

write_env() {
  local rig=$1 display=$2 bits=$3
  {
    echo "export WINEPREFIX='$rig/prefix'"
    echo "export WINEDEBUG=-all"
    echo "export WINEDLLOVERRIDES='mscoree,mshtml='"
    echo "export DISPLAY='$display'"
    echo "export TESSARO_RIG_DIR='$rig'"
    echo "export TESSARO_BUILD_DIR='$build'"
    echo "export TESSARO_WINE_BITS=$bits"
    if [ "$bits" = 64 ]; then
      echo "export WINEARCH=win64"
      echo "export WINELOADER=/usr/lib/wine/wine64"
      echo "export WINESERVER=/usr/lib/wine/wineserver64"
      echo "export PATH='$here/wine64':\"\$PATH\""
      echo "export TESSARO_NO_XINPUT2_DIR='$rig/no-xinput2'"
    else
      echo "export WINEARCH=win32"
    fi
  } >"$rig/env.sh"
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
      run "start the driver service" wine sc start VTusb
      # winedevice creates the control device shortly after the service reports it started.
      for _ in $(seq 1 200); do
        wine "$TESSARO_BUILD_DIR/stand_ins/driver_double/double_ctl.exe" state \
          </dev/null >/dev/null 2>&1 && return 0
        sleep 0.1
      done
      fail "the driver double's control device did not appear after sc start VTusb"
      ;;
    stop)
      service_is STOPPED && return 0
      run "stop the driver service" wine sc stop VTusb
      for _ in $(seq 1 200); do
        service_is STOPPED && return 0
        sleep 0.1
      done
      fail "the driver service did not stop: $(tr -s '\r\n ' ' ' <"$TESSARO_RIG_DIR/service.txt")"
      ;;
    *) fail "driver: start or stop, not '$action'" ;;
  esac
}

controller() {
  run "controller $1" wine "$TESSARO_BUILD_DIR/stand_ins/usb_controller/plug_controller.exe" "$1"
}

# What a failed "up" leaves: nothing. Wine's processes of the prefix, the X server, env.sh.
abandon_up() {
  local status=$?
  [ $status -eq 0 ] && return 0
  if [ -f "$rig/env.sh" ]; then
    (load_env "$rig" && wineserver -k) >/dev/null 2>&1 || true
  fi
  stop_x "$rig"
  rm -f "$rig/env.sh"
  return $status
}

up() {
  local screen=${3:-1024x768} bits display=""
  build=$(cd "$2" && pwd)
  mkdir -p "$1"
  rig=$(cd "$1" && pwd)
  log=$rig/rig.log
  bits=$(build_bits "$build")
  # The lock goes with every process the rig starts (they inherit it), so it is held as long as
  # anything of the rig lives.
  exec 9>"$rig/lock"
  if ! flock -n 9; then
    if [ -f "$rig/env.sh" ]; then
      echo "rig: $rig holds a live rig; take it down first (tools/rig.sh down $rig)" >&2
      exit 1
    fi
    # A rig that was just taken down: its last processes may still be ending.
    flock -w 30 9 || fail "$rig is still locked by processes of an earlier rig"
  fi
  # Left by a rig whose processes are gone (the lock was free).
  if [ -f "$rig/env.sh" ]; then down "$rig" >/dev/null 2>&1 || true; fi
  : >"$log"
  trap abandon_up EXIT
  start_x "$rig" "$screen"
  if [ "$bits" = 64 ]; then
    # An empty libXi for Wine: see tools/wine64/wine.
    mkdir -p "$rig/no-xinput2"
    run "make an empty libXi" cc -shared -x c /dev/null -o "$rig/no-xinput2/libXi.so.6"
  fi
  write_env "$rig" "$display" "$bits"
  load_env "$rig"
  mkdir -p "$WINEPREFIX"
  run "make the ${bits}-bit prefix" wineboot -i
  { printf '\xff\xfe'; sed 's/$/\r/' "$here/rig-settings.reg" | iconv -f UTF-8 -t UTF-16LE; } \
    >"$rig/rig-settings.reg"
  run "import the rig's settings" wine regedit /S "$(winepath_of "$rig/rig-settings.reg")"
  run "copy the driver double" cp "$build/stand_ins/driver_double/vtusb.sys" \
    "$WINEPREFIX/drive_c/windows/system32/drivers/vtusb.sys"
  run "create the driver service" wine sc create VTusb type= kernel start= demand \
    binpath= 'C:\windows\system32\drivers\vtusb.sys'
  # The service manager of a new prefix only starts a service it read at its own start.
  run "restart the wineserver" wineserver -k
  wineserver -w || true
  # One persistent wineserver for the whole run keeps every later start fast.
  run "start a persistent wineserver" wineserver -p
  driver start
  controller plug
  trap - EXIT
  echo "rig up (${bits}-bit prefix): DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
}

down() {
  rig=$(cd "$1" 2>/dev/null && pwd) || return 0
  log=$rig/rig.log
  local status=0
  if [ -f "$rig/env.sh" ]; then
    load_env "$rig"
    if [ -d "$WINEPREFIX" ]; then
      (driver stop) || status=1
      wine sc delete VTusb </dev/null >>"$log" 2>&1 || true
      wineserver -k >>"$log" 2>&1 || true
      wineserver -w >>"$log" 2>&1 || true
    fi
    rm -rf "$WINEPREFIX" "$rig/env.sh"
  fi
  stop_x "$rig"
  echo "rig down"
  return $status
}

case ${1:-} in
  up) up "$2" "$3" "${4:-}" ;;
  down) down "$2" ;;
  driver) load_env "$3"; driver "$2" ;;
  controller) load_env "$3"; controller "$2" ;;
  *) sed -n '2,14p' "$0" >&2; exit 2 ;;
esac
