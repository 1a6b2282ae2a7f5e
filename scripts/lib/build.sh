# Sourced by the scripts: configure and build both trees.
# ORVASIL_ROOT is the checkout; build trees live in $ORVASIL_ROOT/build/{native,win}.
build_all() {
  local jpeg
  jpeg=$("$ORVASIL_ROOT/scripts/setup" | tail -n 1)
  local jobs=${ORVASIL_JOBS:-$(nproc)}
  if [ ! -f "$ORVASIL_ROOT/build/native/build.ninja" ]; then
    cmake -S "$ORVASIL_ROOT" -B "$ORVASIL_ROOT/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
  fi
  cmake --build "$ORVASIL_ROOT/build/native" -j "$jobs"
  if [ ! -f "$ORVASIL_ROOT/build/win/build.ninja" ]; then
    cmake -S "$ORVASIL_ROOT" -B "$ORVASIL_ROOT/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ORVASIL_ROOT/cmake/mingw-i686.cmake" \
      -DORVASIL_LIBJPEG_TARBALL="$jpeg" \
      -DORVASIL_HOST_TOOLS_DIR="$ORVASIL_ROOT/build/native/tools" >/dev/null
  fi
  cmake --build "$ORVASIL_ROOT/build/win" -j "$jobs"
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

# Wine's background services inherit the output of the first Wine process: start them
# detached so that nothing waits for them.
start_wine_services() {
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit 0 >/dev/null 2>&1 </dev/null || true
}
