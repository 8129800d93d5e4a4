#!/bin/sh
# Runs scripts/trovel-editor as trovel runs it on Linux (the words of
# "<COMSPEC> /c notepad FILE" as separate arguments, no shell) with fake
# editors that record what they were given and end with a chosen status.
# Usage: editor_script_test.sh PATH-TO-trovel-editor

script=$1
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

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
