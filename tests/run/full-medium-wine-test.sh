#!/usr/bin/env bash
# A report on a full medium under Wine: the serial port COM4 of a Wine prefix
# of this test's own is made to be /dev/full, so the first transfer of the
# report's buffer fails with the system's disk-full error. The run must end
# with DiskFull for WRITE and status 1, and leave its input files as they were.
# (A Unix device named by its path is no use here: Wine's GetFileAttributesA
# finds no such file there, and the program then meets FileAlreadyExists.)
# Usage: full-medium-wine-test.sh <trovel.exe>
set -euo pipefail
program=$(realpath "$1")

work=$(mktemp -d "${TMPDIR:-/tmp}/trovel-full.XXXXXX")
export HOME="$work/home" WINEPREFIX="$work/home/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$HOME" "$work/run"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
ln -sfn /dev/full "$WINEPREFIX/dosdevices/com4"

cd "$work/run"
printf 'caso.txt\r\n' > Trovel_1p1_dados.txt
printf 'COM4\r\n9.81\r\n4\r\n10\r\n100\r\n30\r\n50\r\n10\r\n250\r\nteste\r\n' > caso.txt
cp caso.txt caso.orig

status=0
env -u DISPLAY COMSPEC=trovel-no-such-interpreter /usr/lib/wine/wine64 "$program" \
  </dev/null >stdout.txt 2>stderr.txt || status=$?

expected=$'\r\nrun-time error F6422: WRITE(COM4)\r\n- disk full\r\n'
fail=0
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1"; fail=1; }
[ "$(cat stderr.txt; printf x)" = "${expected}x" ] || { echo "standard error:"; od -c stderr.txt; fail=1; }
[ ! -s stdout.txt ] || { echo "standard output:"; od -c stdout.txt; fail=1; }
cmp -s caso.txt caso.orig || { echo "case file changed"; fail=1; }
[ "$(cat Trovel_1p1_dados.txt)" = $'caso.txt\r' ] || { echo "index file changed"; fail=1; }
[ "$fail" -eq 0 ] && echo "report on a full medium ended with DiskFull, inputs kept"
exit "$fail"
