#!/usr/bin/env bash
# A read-only report file that already holds something: the run ends with
# WriteRefused at the first write, and the file keeps its bytes. Root is never
# refused a write (neither by Linux nor by Wine), so as root the program runs
# as the unprivileged user nobody.
# Usage: read-only-report-test.sh linux|windows <program>
set -euo pipefail
system=$1
program=$(realpath "$2")

work=$(mktemp -d "${TMPDIR:-/tmp}/trovel-readonly.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/run"
cd "$work/run"
printf 'caso.txt\r\n' > Trovel_1p1_dados.txt
printf 'relatorio.txt\r\n9.81\r\n4\r\n10\r\n100\r\n30\r\n50\r\n10\r\n250\r\nteste\r\n' > caso.txt
printf 'old report\r\n' > relatorio.txt
chmod 444 relatorio.txt

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
  chown 65534:65534 "$work"
fi

if [ "$system" = windows ]; then
  # Wine refuses a prefix its user does not own; with no DISPLAY the real
  # Notepad that cmd.exe starts ends at once.
  home="$work/home"
  mkdir "$home"
  [ ${#as_user[@]} -eq 0 ] || chown 65534:65534 "$home"
  run=(env -u DISPLAY HOME="$home" WINEPREFIX="$home/wine" WINEDEBUG=-all
       WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 "$program")
  "${as_user[@]}" env HOME="$home" WINEPREFIX="$home/wine" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
else
  run=(env COMSPEC=true "$program")
fi

status=0
"${as_user[@]}" "${run[@]}" </dev/null >stdout.txt 2>stderr.txt || status=$?
[ "$system" != windows ] || "${as_user[@]}" env HOME="$home" WINEPREFIX="$home/wine" \
  /usr/lib/wine/wineserver -k 2>/dev/null || true

expected=$'\r\nrun-time error F6421: WRITE(relatorio.txt)\r\n- permission to write to file denied\r\n'
fail=0
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1"; fail=1; }
[ "$(cat stderr.txt; printf x)" = "${expected}x" ] || { echo "standard error:"; od -c stderr.txt; fail=1; }
[ ! -s stdout.txt ] || { echo "standard output:"; od -c stdout.txt; fail=1; }
[ "$(cat relatorio.txt; printf x)" = $'old report\r\nx' ] || { echo "report changed:"; od -c relatorio.txt; fail=1; }
[ "$fail" -eq 0 ] && echo "read-only report refused with WriteRefused, file kept"
exit "$fail"
