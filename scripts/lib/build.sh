# Sourced by the scripts: configure and build the trees.
# ORVASIL_ROOT is the checkout; build trees live in $ORVASIL_ROOT/build/{native,win,win64}:
# the native tools and tests, the 32-bit Windows program (the shipped one) and the same
# sources for 64-bit Windows. The tree whose programs Wine runs here (scripts/lib/arch.sh) is
# built whole; of the other one, only the program and what its static checks need.
windows_tree() {  # windows_tree DIR TOOLCHAIN JPEG_TARBALL [TARGET...]
  local dir=$1 toolchain=$2 jpeg=$3
  shift 3
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ORVASIL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ORVASIL_ROOT/cmake/$toolchain" \
      -DORVASIL_LIBJPEG_TARBALL="$jpeg" \
      -DORVASIL_HOST_TOOLS_DIR="$ORVASIL_ROOT/build/native/tools" >/dev/null
  fi
  cmake --build "$dir" -j "$jobs" ${1:+--target "$@"}
}

build_all() {
  local jpeg
  jpeg=$("$ORVASIL_ROOT/scripts/setup" | tail -n 1)
  local jobs=${ORVASIL_JOBS:-$(nproc)}
  local static_only=(orvasil imports_probe)
  local win32=("${static_only[@]}") win64=("${static_only[@]}")
  if [ "$(orvasil_wine_path)" = win64 ]; then win64=(); else win32=(); fi
  if [ ! -f "$ORVASIL_ROOT/build/native/build.ninja" ]; then
    cmake -S "$ORVASIL_ROOT" -B "$ORVASIL_ROOT/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
  fi
  cmake --build "$ORVASIL_ROOT/build/native" -j "$jobs" &&
    windows_tree "$ORVASIL_ROOT/build/win" mingw-i686.cmake "$jpeg" "${win32[@]}" &&
    windows_tree "$ORVASIL_ROOT/build/win64" mingw-x86_64.cmake "$jpeg" "${win64[@]}"
}

# Starts Xvfb on a free display and exports DISPLAY; stop_xvfb ends it.
start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local n
  read -r n <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$n"
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# Wine's server and services for a test or bench run; a server left from before, perhaps on
# another display, is ended first.
start_wine_services() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  wine_services_start
}
