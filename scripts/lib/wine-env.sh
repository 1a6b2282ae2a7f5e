# Sourced by the scripts: a quiet Wine with one prefix per build directory, of the build's
# architecture (PREFIX.arch, written by the build: win32 or win64).
# wine_prefix_ready DIR creates the prefix once (under a lock) and leaves no server behind.
export WINEARCH=${WINEARCH:-win32}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The server itself, not Debian's wineserver script: the script adds -p0, so that a server the
# loader starts through it ends the moment its last client does, and every test program would
# start Wine's services anew.
for WINESERVER in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver32 "$(command -v wineserver)"; do
  [ -x "$WINESERVER" ] && break
done
export WINESERVER
wineserver() { "$WINESERVER" "$@"; }

# Starts the prefix's server to stay up between programs (a server that Wine starts by itself
# ends with its last client, and the next program would start Wine's services again, seconds
# each) and the services, detached: they inherit the output of the first Wine process, and
# nothing may wait for them.
wine_services_start() {
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit 0 >/dev/null 2>&1 </dev/null || true
}

# In a 64-bit prefix always Wine's 64-bit loader: Debian's wine script prefers the 32-bit one
# where it is installed (and where it cannot execute, fails), and a builtin program such as
# regedit started through it would see the registry's 32-bit view.
wine() {
  if [ "$WINEARCH" = win64 ]; then /usr/lib/wine/wine64 "$@"; else command wine "$@"; fi
}

# Sets WINEPREFIX and WINEARCH for DIR without creating anything.
wine_prefix_use() {
  export WINEPREFIX=$1
  if [ -f "$1.arch" ]; then WINEARCH=$(cat "$1.arch"); fi
  export WINEARCH
  if [ "$WINEARCH" = win64 ]; then export WINELOADER=/usr/lib/wine/wine64; else unset WINELOADER; fi
}

wine_prefix_ready() {
  local prefix=$1
  wine_prefix_use "$prefix"
  if [ -f "$prefix/.orvasil-ready" ]; then wine_fonts_ready "$prefix"; return 0; fi
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.orvasil-ready" ]; then
      # A server started without a display would keep later GUI programs from making windows.
      # In a 64-bit prefix its 32-bit half cannot start where no 32-bit program runs
      # ("failed to open ...syswow64\rundll32.exe"): harmless, nothing of ours is 32-bit there.
      DISPLAY= wine wineboot -i >/dev/null 2>&1 </dev/null
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

# Leaves PREFIX with no drive but c: and z:, and keeps Wine's mount manager from adding the
# host's removable drives (it learns of them on the system bus), so that nothing run in it can
# reach a card reader of this machine. Refuses (fails) when a drive remains.
wine_no_host_drives() {
  local dos=$1/dosdevices f left
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  for f in "$dos"/[a-y]: "$dos"/[a-y]::; do
    [ "${f##*/}" = c: ] || rm -f "$f"
  done
  wine cmd /c exit 0 >/dev/null 2>&1 </dev/null || true
  left=$(cd "$dos" && ls -d [a-y]: [a-y]:: 2>/dev/null | grep -vx c: | tr '\n' ' ' || true)
  if [ -n "$left" ]; then
    echo "the prefix $1 still maps ${left}and nothing is started in it" >&2
    return 1
  fi
}
