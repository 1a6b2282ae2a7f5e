# Sourced by the scripts: which Windows build this machine's Wine can run.
# Some kernels execute no 32-bit programs; Debian's 32-bit Wine loader then fails with "Exec
# format error", and only 64-bit Windows programs run (in a 64-bit prefix).

# True when a 32-bit Linux program runs here: a 93-byte i386 ELF that only calls exit(0).
runs_32bit_programs() {
  local probe rc
  probe=$(mktemp "${TMPDIR:-/tmp}/orvasil-i386.XXXXXX") || return 1
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'\
'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00'\
'\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  rc=$?
  rm -f "$probe"
  [ "$rc" = 0 ]
}

# Prints win32 where the 32-bit program can run under Wine, win64 where it cannot, or where
# ORVASIL_WIN64=1 forces the 64-bit path (to prove it on a machine that could run both).
# The answer is taken once and kept in ORVASIL_WINE_PATH for the scripts started from here.
orvasil_wine_path() {
  if [ -z "${ORVASIL_WINE_PATH:-}" ]; then
    if [ "${ORVASIL_WIN64:-}" = 1 ] || ! runs_32bit_programs; then
      ORVASIL_WINE_PATH=win64
    else
      ORVASIL_WINE_PATH=win32
    fi
    export ORVASIL_WINE_PATH
  fi
  echo "$ORVASIL_WINE_PATH"
}
