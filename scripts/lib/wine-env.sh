# Sourced by the scripts: a quiet Wine with one 32-bit prefix per build directory.
# wine_prefix_ready DIR creates the prefix once (under a lock) and leaves no server behind.
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_prefix_ready() {
  local prefix=$1
  export WINEPREFIX=$prefix
  [ -f "$prefix/.orvasil-ready" ] && return 0
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.orvasil-ready" ]; then
      # A server started without a display would keep later GUI programs from making windows.
      DISPLAY= wineboot -i >/dev/null 2>&1 </dev/null
      DISPLAY= wineserver -w
      # No crash dialogs: a crashing test must simply fail.
      DISPLAY= wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
      DISPLAY= wineserver -w
      touch "$prefix/.orvasil-ready"
    fi
  ) 9>"$prefix.lock"
}
