# Sourced by the scripts: a quiet Wine with one 32-bit prefix per build directory.
# wine_prefix_ready DIR creates the prefix once (under a lock) and leaves no server behind.
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_prefix_ready() {
  local prefix=$1
  export WINEPREFIX=$prefix
  if [ -f "$prefix/.orvasil-ready" ]; then wine_fonts_ready "$prefix"; return 0; fi
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
      wine_fonts_ready "$prefix"
      touch "$prefix/.orvasil-ready"
    fi
  ) 9>"$prefix.lock"
}

# This Wine does not find the TrueType fonts of Debian's fonts-wine where they are installed:
# without Marlett the caption buttons show letters, without Tahoma dialogs fall back to DejaVu.
# A copy in the prefix's Fonts folder is found.
wine_fonts_ready() {
  local fonts=$1/drive_c/windows/Fonts
  if [ ! -f "$fonts/marlett.ttf" ] && [ -d /usr/share/wine/fonts ]; then
    mkdir -p "$fonts" && cp /usr/share/wine/fonts/*.ttf "$fonts/"
  fi
}
