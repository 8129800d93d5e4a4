#!/bin/sh
# Runs scripts/trovel-editor as trovel runs it on Linux (the words of
# "<COMSPEC> /c notepad FILE" as separate arguments, no shell) with fake
# editors that record what they were given and end with a chosen status;
# then runs trovel itself on the example case with the script as COMSPEC.
# Usage: editor_script_test.sh TROVEL-EDITOR TROVEL EXAMPLES-FOLDER

script=$1 trovel=$2 examples=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/editor-script-test.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/bare"

# A fake program: writes its name and then each argument on a line of its own
# to $work/log, and exits with $FAKE_STATUS (0 when unset).
fake() {
  cat >"$work/bin/$1" <<FAKE
#!/bin/sh
{ echo "$1"; for arg in "\$@"; do echo "[\$arg]"; done; } >"$work/log"
exit \${FAKE_STATUS:-0}
FAKE
  chmod +x "$work/bin/$1"
}
for name in visual-editor editor nano vi other-command; do fake "$name"; done
cp "$work/bin/vi" "$work/bare/vi"

failures=0
passed=0


run() {
  # run EXPECTED-STATUS EXPECTED-LOG NAME ENV-ASSIGNMENTS... -- SCRIPT-ARGUMENTS...
  expected_status=$1 expected_log=$2 name=$3
  shift 3
  rm -f "$work/log"
  status=0
  (
    unset VISUAL EDITOR
    PATH="$work/bin"
    while [ "$1" != "--" ]; do export "$1"; shift; done
    shift
    exec "$script" "$@"
  ) </dev/null >"$work/out" 2>&1 || status=$?
  log=$(cat "$work/log" 2>/dev/null)
  if [ "$status" = "$expected_status" ] && [ "$log" = "$expected_log" ]; then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failures=$((failures + 1))
    echo "FAILED: $name"
    echo "  status $status, expected $expected_status"
    echo "  log:"; printf '%s\n' "$log" | sed 's/^/    /'
    echo "  expected:"; printf '%s\n' "$expected_log" | sed 's/^/    /'
    echo "  output:"; sed 's/^/    /' "$work/out"
  fi
}

nl='
'

run 0 "visual-editor${nl}[caso1.txt]" "VISUAL comes before EDITOR" \
  VISUAL=visual-editor EDITOR=editor -- /c notepad caso1.txt
run 0 "editor${nl}[caso1.txt]" "EDITOR when VISUAL is not set" \
  EDITOR=editor -- /c notepad caso1.txt
run 0 "editor${nl}[caso1.txt]" "EDITOR when VISUAL is empty" \
  VISUAL= EDITOR=editor -- /c notepad caso1.txt
run 0 "nano${nl}[caso1.txt]" "nano when neither is set" \
  -- /c notepad caso1.txt
run 0 "vi${nl}[caso1.txt]" "vi when neither is set and nano is missing" \
  PATH="$work/bare" -- /c notepad caso1.txt
run 0 "editor${nl}[Trovel_1p1_dados.txt]" "Notepad with a capital N" \
  EDITOR=editor -- /c Notepad Trovel_1p1_dados.txt
run 0 "editor${nl}[meu caso de teste.txt]" "a name with blanks arrives as one file name" \
  EDITOR=editor -- /c notepad meu caso de teste.txt
run 0 "visual-editor${nl}[--wait]${nl}[relatorio1.txt]" "an editor setting with an option" \
  VISUAL="visual-editor --wait" -- /c notepad relatorio1.txt
run 0 "editor" "notepad without a file name opens the editor alone" \
  EDITOR=editor -- /c notepad
run 3 "editor${nl}[caso1.txt]" "the editor's exit status is passed on" \
  EDITOR=editor FAKE_STATUS=3 -- /c notepad caso1.txt
run 5 "other-command${nl}[a]${nl}[b c]" "another command is run as given" \
  EDITOR=editor FAKE_STATUS=5 -- /c other-command a "b c"
run 0 "" "an empty command does nothing" \
  EDITOR=editor -- /c
run 127 "" "no editor at all is a failure" \
  PATH="$work/empty" -- /c notepad caso1.txt

# A whole run: the three files open one after the other in the editor, the
# run waits for each, and the report uses what the editor saved. The case
# file's name has blanks, as the program hands it over in several words.
cat >"$work/edit-case" <<EDIT
#!/bin/sh
{ for arg in "\$@"; do printf '[%s]' "\$arg"; done; echo; } >>"$work/run-log"
# On the case file: the elevation becomes 45 degrees, saved before it ends.
case "\$1" in
  "meu caso.txt") sed 's/^41.5 /45   /' "\$1" >"\$1.new" && mv "\$1.new" "\$1" ;;
esac
EDIT
chmod +x "$work/edit-case"
mkdir "$work/run"
cp "$examples/caso1.txt" "$work/run/meu caso.txt"
printf "'meu caso.txt'   nome do arquivo do caso\r\n" >"$work/run/Trovel_1p1_dados.txt"
status=0
(cd "$work/run" && unset VISUAL && COMSPEC="$script" EDITOR="$work/edit-case" "$trovel") \
  </dev/null >"$work/out" 2>&1 || status=$?
opened=$(cat "$work/run-log" 2>/dev/null)
elevation=$(sed -n 18p "$work/run/relatorio1.txt" 2>/dev/null | tr -d '\r')
method_a=$(sed -n 37p "$work/run/relatorio1.txt" 2>/dev/null | tr -d '\r')
expected_opened="[Trovel_1p1_dados.txt]${nl}[meu caso.txt]${nl}[relatorio1.txt]"
if [ "$status" = 0 ] && [ "$opened" = "$expected_opened" ] &&
  [ "${elevation%% = alfa*}" = "   4.500000E+01" ] &&
  [ "${method_a%% = HA*}" = "   8.000000E+01" ]; then
  passed=$((passed + 1))
  echo "ok: trovel runs its three editing steps through the script"
else
  failures=$((failures + 1))
  echo "FAILED: trovel runs its three editing steps through the script"
  echo "  status $status; files opened:"; printf '%s\n' "$opened" | sed 's/^/    /'
  echo "  report line 18: $elevation"
  echo "  report line 37: $method_a"
  echo "  output:"; sed 's/^/    /' "$work/out"
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
