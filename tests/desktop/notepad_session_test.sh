#!/usr/bin/env bash
# The Windows program as its user meets it: trovel.exe in a folder with the
# bundled example, run by Wine on a virtual screen (Xvfb), with Wine's own
# cmd.exe (the COMSPEC that Wine sets) and Wine's own Notepad. Each Notepad
# window is found by its title, photographed and closed with Alt+F4 as a
# person closes it. While a window is open the run must be waiting: trovel.exe
# still running, no other Notepad window, and no report before the case file's
# window has closed.
#
# Scenarios:
#   example  the three windows in turn; the example's report, exit status 0.
#   edit     in the case file's window, types a new alfa line over the old one
#            and saves with Ctrl+S; the report then holds the new alfa and the
#            estimates computed from it.
#
# Usage: notepad_session_test.sh example|edit <trovel.exe> <examples folder>
#                                <expected report> <work folder>
# The work folder keeps a Wine prefix for these tests (made on the first run),
# the run's folder and the screenshots (artifacts/<scenario>-*.png).
set -uo pipefail

scenario=$1
program=$(realpath "$2")
examples=$(realpath "$3")
golden=$(realpath "$4")
work=$(realpath -m "$5")

readonly index_file=Trovel_1p1_dados.txt case_file=caso1.txt report_file=relatorio1.txt
readonly window_timeout=90 close_timeout=20 exit_timeout=30 dwell=2
readonly edited_alfa_line='45                 alfa editado (graus)'

# The expected report is a kept file: its values were computed once from the
# methods' formulas apart from this program and compared digit by digit, so
# the run is not judged by the program that made it.
case "$scenario" in
  example | edit) ;;
  *) echo "unknown scenario: $scenario" >&2; exit 2 ;;
esac

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null ||
    { echo "FAIL: $tool is missing (packages xvfb, xdotool, imagemagick: scripts/install-deps.sh)" >&2; exit 1; }
done

# A prefix of its own: its server must have this test's display, and the
# test ends that server on the way out, which must not hit the suite's one.
export WINEPREFIX="$work/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
unset XAUTHORITY
readonly wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
artifacts="$work/artifacts"
run="$work/run-$scenario"
mkdir -p "$artifacts"
rm -f "$artifacts/$scenario"-*.png
rm -rf "$run"
mkdir -p "$run"

started=${EPOCHREALTIME/./}
log() {
  local tenths=$(((${EPOCHREALTIME/./} - started) / 100000))
  printf '[%4d.%d s] %s\n' $((tenths / 10)) $((tenths % 10)) "$*"
}
fail() { log "FAIL: $*" >&2; exit 1; }

xvfb_pid=
trovel_pid=
cleanup() {
  local status=$?
  trap - EXIT INT TERM
  if [ "$status" -ne 0 ] && [ -n "${DISPLAY:-}" ]; then
    timeout 15 import -window root "$artifacts/$scenario-failure.png" 2>/dev/null &&
      echo "screen at the failure: $artifacts/$scenario-failure.png" >&2
    echo "windows open: $(notepad_windows | tr '\n' ';')" >&2
    echo "processes of the test's Wine prefix:" >&2
    prefix_processes >&2
  fi
  # Ends every Windows process of this prefix, then its server; Xvfb last.
  timeout 30 "$wineserver" -k 2>/dev/null
  [ -z "$trovel_pid" ] || kill "$trovel_pid" 2>/dev/null
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; }
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# "<pid> <command line>" of each process that runs in this test's Wine prefix.
prefix_processes() {
  local p
  for p in /proc/[0-9]*; do
    { tr '\0' '\n' <"$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    printf '%s %s\n' "${p#/proc/}" "$({ tr '\0' ' ' <"$p/cmdline"; } 2>/dev/null)"
  done
}

# The names of all windows that Notepad (or a box of it) shows, one a line.
notepad_windows() {
  local id
  for id in $(timeout 10 xdotool search --name 'Notepad' 2>/dev/null); do
    timeout 10 xdotool getwindowname "$id" 2>/dev/null
  done
}

trovel_running() { kill -0 "$trovel_pid" 2>/dev/null; }

# shellcheck disable=SC2016 # the $ in the sed expression is a character to escape
regex_of() { printf '^%s - Notepad$' "$(printf '%s' "$1" | sed 's/[].[^$()*+?{}|\\]/\\&/g')"; }

# Waits for Notepad's window of `file` to be shown; sets `window`. trovel.exe
# must keep running meanwhile.
wait_for_window() {
  local file=$1 regex deadline
  regex=$(regex_of "$file")
  deadline=$((SECONDS + window_timeout))
  window=
  while [ "$SECONDS" -lt "$deadline" ]; do
    window=$(timeout 10 xdotool search --onlyvisible --name "$regex" 2>/dev/null | head -n 1)
    [ -n "$window" ] && { log "window '$file - Notepad' is shown (id $window)"; return; }
    trovel_running || fail_ended "before the window of $file appeared"
    sleep 0.25
  done
  fail "no window '$file - Notepad' within $window_timeout s"
}

fail_ended() {
  wait "$trovel_pid"
  local status=$?
  trovel_pid=
  fail "trovel.exe ended $1, exit status $status, standard error: $(cat "$run/stderr.txt")"
}

# What must hold while the window of `file` is open, run by `command`: the run
# is waiting in cmd.exe for Notepad, and nothing of the next step has happened.
expect_waiting() {
  local file=$1 command=$2 report_may_exist=$3 open processes
  trovel_running || fail_ended "while the window of $file was open"
  open=$(notepad_windows)
  [ "$open" = "$file - Notepad" ] ||
    fail "while the window of $file is open, the windows are: $(echo "$open" | tr '\n' ';')"
  processes=$(prefix_processes)
  grep -qF "C:\\windows\\system32\\cmd.exe /c $command " <<<"$processes" ||
    fail "no cmd.exe /c $command among the prefix's processes"
  [ "$report_may_exist" = yes ] || [ ! -e "$run/$report_file" ] ||
    fail "$report_file exists while the window of $file is open"
}

# Keeps the window of `file` open a while and shows that the run waits.
hold_open() {
  expect_waiting "$@"
  sleep "$dwell"
  expect_waiting "$@"
  log "after $dwell s with the window of $1 open, trovel.exe is still waiting"
}

shoot() {
  timeout 15 import -window "$window" "$artifacts/$scenario-$1.png" ||
    fail "no screenshot of the window of $1"
}

# Closes the window as a person does, and waits until it is gone. The X
# server gives the next Notepad the same window id, so the test goes by name.
close_window() {
  local file=$1 deadline
  timeout 15 xdotool windowfocus --sync "$window" key alt+F4 ||
    fail "could not press Alt+F4 in the window of $file"
  deadline=$((SECONDS + close_timeout))
  while [ "$(timeout 10 xdotool getwindowname "$window" 2>/dev/null)" = "$file - Notepad" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the window of $file is still open $close_timeout s after Alt+F4"
    sleep 0.25
  done
  log "window of $file closed with Alt+F4"
}

# Types the new alfa line over the old one and saves; waits until the file on
# disk holds exactly what was typed.
edit_case_file() {
  local want="$run/expected-$case_file" deadline
  LC_ALL=C sed "6s/^41\\.5  *alfa: .*\\r\$/$edited_alfa_line\\r/" "$examples/$case_file" >"$want"
  cmp -s "$want" "$examples/$case_file" && fail "the example's alfa line was not found in $case_file"
  if ! { timeout 15 xdotool windowfocus --sync "$window" key ctrl+Home Down Down Down Down Down Home shift+End &&
    timeout 30 xdotool type --delay 20 "$edited_alfa_line" && timeout 15 xdotool key ctrl+s; }; then
    fail "could not type into the window of $case_file"
  fi
  deadline=$((SECONDS + 15))
  until cmp -s "$run/$case_file" "$want"; do
    [ "$SECONDS" -lt "$deadline" ] || {
      diff <(od -c "$want") <(od -c "$run/$case_file") >&2
      fail "$case_file on disk is not the typed text 15 s after Ctrl+S"
    }
    sleep 0.25
  done
  log "$case_file saved with the new alfa line"
}

# A virtual screen on a free display number; Xvfb prints it when ready.
exec 3>"$work/display-$scenario"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb-$scenario.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
deadline=$((SECONDS + 20))
until grep -q '^[0-9][0-9]*$' "$work/display-$scenario" 2>/dev/null; do
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb-$scenario.log")"
  [ "$SECONDS" -lt "$deadline" ] || fail "Xvfb gave no display within 20 s"
  sleep 0.1
done
DISPLAY=":$(cat "$work/display-$scenario")"
export DISPLAY
log "Xvfb on display $DISPLAY"

# A Wine server for this prefix alone, with this display; one left over from
# an interrupted run is ended first. It ends by itself 30 s after its last
# process, should this script be killed.
mkdir -p "$WINEPREFIX"
timeout 30 "$wineserver" -k 2>/dev/null
"$wineserver" -p30 || fail "the Wine server did not start"
timeout 180 "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot failed in $WINEPREFIX"
log "Wine prefix ready: $WINEPREFIX"

# The user's folder: the program beside the example's two files.
cp "$program" "$examples/$index_file" "$examples/$case_file" "$run/"
(cd "$run" && exec "$wine" trovel.exe </dev/null >stdout.txt 2>stderr.txt) &
trovel_pid=$!
log "trovel.exe started (pid $trovel_pid)"

wait_for_window "$index_file"
hold_open "$index_file" "Notepad $index_file" no
shoot 1-index
close_window "$index_file"

wait_for_window "$case_file"
hold_open "$case_file" "notepad $case_file" no
shoot 2-case
if [ "$scenario" = edit ]; then
  edit_case_file
  shoot 2-case-edited
  expect_waiting "$case_file" "notepad $case_file" no
fi
close_window "$case_file"

wait_for_window "$report_file"
hold_open "$report_file" "notepad $report_file" yes
shoot 3-report
close_window "$report_file"

deadline=$((SECONDS + exit_timeout))
while trovel_running; do
  [ "$SECONDS" -lt "$deadline" ] || fail "trovel.exe still runs $exit_timeout s after the report's window closed"
  sleep 0.25
done
wait "$trovel_pid"
status=$?
trovel_pid=
log "trovel.exe ended with exit status $status"

failed=0
[ "$status" -eq 0 ] || { echo "exit status $status, expected 0" >&2; failed=1; }
[ ! -s "$run/stdout.txt" ] || { echo "standard output:" >&2; od -c "$run/stdout.txt" >&2; failed=1; }
[ ! -s "$run/stderr.txt" ] || { echo "standard error:" >&2; od -c "$run/stderr.txt" >&2; failed=1; }
if ! cmp "$golden" "$run/$report_file" >&2; then
  diff <(iconv -f CP1252 -t UTF-8 "$golden") <(iconv -f CP1252 -t UTF-8 "$run/$report_file") >&2
  failed=1
fi
if [ "$scenario" = edit ]; then
  # The lines that the typed value decides, stated here as well as in the file.
  for line in '   4.500000E+01 = alfa   = ' '   8.000000E+01 = HA = '; do
    grep -aqF -- "$line" "$run/$report_file" || { echo "no line '$line' in the report" >&2; failed=1; }
  done
fi
[ "$failed" -eq 0 ] || fail "the run's results differ from what is expected"
log "passed: the three windows in turn, the report as expected ($scenario); screenshots in $artifacts"
