# How Wine runs on this machine, sourced by the tools:
#
#   32-bit mode  the win32 build (PE32 programs) in a 32-bit prefix, through Debian's `wine`;
#   64-bit mode  the same sources built for x86_64 (preset win64) in a 64-bit prefix, for
#                machines whose kernel cannot run 32-bit Linux programs, and so not Wine's
#                32-bit loader. Debian's `wine`, `wineboot` and `wineserver` prefer that loader
#                whenever package wine32 is installed, so the 64-bit mode puts tools/wine64/
#                (wrappers that call the 64-bit loader and server) first on PATH.
#
# TESSARO_WINE_BITS=32 or 64 forces a mode. choose_wine_mode sets TESSARO_WINE_BITS,
# TESSARO_PRESET (win32 or win64) and TESSARO_WINE_MODE (a line that says which mode and why),
# or prints why it cannot and returns 1. The 32-bit loader checked is $TESSARO_WINE32_LOADER
# (default /usr/lib/wine/wine).

wine32_loader_answer() {
  local loader=${TESSARO_WINE32_LOADER:-/usr/lib/wine/wine}
  if [ ! -e "$loader" ]; then
    echo "$loader is not installed"
    return 1
  fi
  local out
  if out=$("$loader" --version 2>&1 </dev/null); then
    return 0
  fi
  echo "$loader --version: ${out##*: }" | tr '\n' ' ' | sed 's/ *$//'
  return 1
}

choose_wine_mode() {
  local why
  case ${TESSARO_WINE_BITS:-} in
    "")
      if why=$(wine32_loader_answer); then
        TESSARO_WINE_BITS=32
        TESSARO_WINE_MODE="Wine mode: 32-bit (Wine's 32-bit loader runs here)"
      else
        TESSARO_WINE_BITS=64
        TESSARO_WINE_MODE="Wine mode: 64-bit (Wine's 32-bit loader cannot run here: $why)"
      fi
      ;;
    32)
      if ! why=$(wine32_loader_answer); then
        echo "Wine mode: 32-bit was forced (TESSARO_WINE_BITS=32), but Wine's 32-bit loader cannot run here: $why" >&2
        return 1
      fi
      TESSARO_WINE_MODE="Wine mode: 32-bit (forced by TESSARO_WINE_BITS=32)"
      ;;
    64)
      TESSARO_WINE_MODE="Wine mode: 64-bit (forced by TESSARO_WINE_BITS=64)"
      ;;
    *)
      echo "Wine mode: TESSARO_WINE_BITS is '$TESSARO_WINE_BITS'; it takes 32 or 64" >&2
      return 1
      ;;
  esac
  if [ "$TESSARO_WINE_BITS" = 32 ]; then TESSARO_PRESET=win32; else TESSARO_PRESET=win64; fi
  export TESSARO_WINE_BITS TESSARO_PRESET TESSARO_WINE_MODE
}
