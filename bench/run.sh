#!/usr/bin/env bash
# Measures the program against its floors and checks the budgets; prints the
# figures that docs/performance.md shows.
#  1. The benchmarks (Google Benchmark): the value reader, the ten values of a
#     case, the number field and a whole report, each beside its floor.
#  2. Whole runs of trovel on the example case, against the floor program
#     (bench/floor-program.cpp), all started alike by bench/launch.cpp, which
#     takes turns between them: with COMSPEC=true (the three commands start
#     `true`, which ends at once) and with COMSPEC unset (no cmd.exe on PATH:
#     the commands cannot start, so they cost only the attempt).
#  3. Large inputs, 1 MB to 100 MB: a case whose first line carries a long
#     comment, and one whose values follow a long run of empty lines.
#  4. The size of trovel.exe as the release zip ships it (scripts/release.sh:
#     the windows preset's build, stripped), and of trovel.
# Usage: bench/run.sh [ROUNDS]   (whole runs of each program; default 501)
# Exit status 1 when a budget is missed.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
rounds=${1:-501}

scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target trovel >/dev/null

bin=$top/build/bench
trovel=$bin/trovel
floor=$bin/bench/trovel-floor
launch=$bin/bench/trovel-launch
work=$(mktemp -d "${TMPDIR:-/tmp}/trovel-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
missed=0

# check LABEL VALUE BUDGET: prints the line and notes a miss.
check() {
  if awk -v v="$2" -v b="$3" 'BEGIN { exit !(v <= b) }'; then
    printf '  %-58s %8s <= %-6s met\n' "$1" "$2" "$3"
  else
    printf '  %-58s %8s <= %-6s MISSED\n' "$1" "$2" "$3"
    missed=1
  fi
}

# field_of LABEL N FILE: the Nth field of the launcher's line for LABEL.
field_of() {
  awk -v label="$1" -v n="$2" 'index($0, label) == 1 { sub(label, ""); print $(n); exit }' "$3"
}

echo "== Machine"
echo "$(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo

echo "== 1. Benchmarks: median processor time of 9 interleaved repetitions"
"$bin/bench/trovel-bench" --benchmark_color=false || missed=1
echo

echo "== 2. Whole runs on the example case"
for folder in floor true unset; do
  mkdir "$work/$folder"
  cp examples/Trovel_1p1_dados.txt examples/caso1.txt "$work/$folder"
done
"$launch" "$rounds" \
  --- "floor program" "$work/floor" - "$floor" \
  --- "trovel, COMSPEC=true" "$work/true" COMSPEC=true "$trovel" \
  --- "trovel, COMSPEC unset" "$work/unset" -COMSPEC "$trovel" | tee "$work/runs.txt"
for folder in floor true unset; do
  lines=$(tr -cd '\n' <"$work/$folder/relatorio1.txt" | wc -c)
  bytes=$(stat -c %s "$work/$folder/relatorio1.txt")
  echo "  $folder: relatorio1.txt has $lines lines, $bytes bytes"
done
cmp -s "$work/true/relatorio1.txt" "$work/unset/relatorio1.txt" || {
  echo "  the two runs of trovel wrote different reports"
  missed=1
}
unset_label="trovel, COMSPEC unset"
check "whole run (commands not counted), median wall time x floor" \
  "$(field_of "$unset_label" 5 "$work/runs.txt")" 1.5
check "whole run (commands not counted), median cpu time x floor" \
  "$(field_of "$unset_label" 6 "$work/runs.txt")" 1.5
check "whole run, median peak memory x floor" "$(field_of "$unset_label" 7 "$work/runs.txt")" 1.5
echo

# Instruction counts do not depend on the machine's load: a cross-check of
# the times above (user-space work only; system calls count as one each).
if command -v valgrind >/dev/null; then
  # count FOLDER PROGRAM [ENV OPTION...]: the instructions of one run.
  count() {
    (cd "$1" && env "${@:3}" valgrind --tool=callgrind --callgrind-out-file=/dev/null "$2" 2>&1 |
      sed -n 's/.*I *refs: *//p' | tr -d ,)
  }
  floor_count=$(count "$work/floor" "$floor")
  trovel_count=$(count "$work/unset" "$trovel" -u COMSPEC)
  echo "  instructions (callgrind): floor program $floor_count, trovel with COMSPEC unset $trovel_count"
  check "whole run, instructions x floor" \
    "$(awk -v a="$trovel_count" -v b="$floor_count" 'BEGIN { printf "%.2f", a / b }')" 1.5
else
  echo "  instruction counts skipped: valgrind is not installed"
fi
echo

echo "== 3. Large inputs: a long comment line, a long run of empty lines (CR LF)"
example_peak=$(field_of "$unset_label" 4 "$work/runs.txt")
printf '%-9s %-8s %12s %12s %7s %11s %11s\n' input size "floor ms" "trovel ms" "x floor" "floor KiB" "trovel KiB"
for megabytes in 1 10 100; do
  bytes=$((megabytes * 1000000))
  case $megabytes in 1) n=31 ;; 10) n=15 ;; *) n=9 ;; esac
  for kind in comment blank; do
    folder=$work/$kind$megabytes
    mkdir "$folder"
    cp examples/Trovel_1p1_dados.txt "$folder"
    if [ "$kind" = comment ]; then
      { printf 'relatorio1.txt '; head -c "$bytes" /dev/zero | tr '\0' x; printf '\r\n'; tail -n +2 examples/caso1.txt; } >"$folder/caso1.txt"
    else
      { head -c "$bytes" < <(yes $'\r'); cat examples/caso1.txt; } >"$folder/caso1.txt"
    fi
    mkdir "$folder/floor"
    cp "$folder"/*.txt "$folder/floor"
    "$launch" "$n" --- floor "$folder/floor" - "$floor" \
      --- trovel "$folder" -COMSPEC "$trovel" >"$folder/runs.txt"
    floor_ms=$(awk '$1 == "floor" { printf "%.1f", $2 / 1000 }' "$folder/runs.txt")
    trovel_ms=$(awk '$1 == "trovel" { printf "%.1f", $2 / 1000 }' "$folder/runs.txt")
    ratio=$(awk '$1 == "trovel" { print $6 }' "$folder/runs.txt")
    floor_peak=$(awk '$1 == "floor" { print $5 }' "$folder/runs.txt")
    trovel_peak=$(awk '$1 == "trovel" { print $5 }' "$folder/runs.txt")
    printf '%-9s %5s MB %12s %12s %7s %11s %11s\n' "$kind" "$megabytes" "$floor_ms" "$trovel_ms" \
      "$ratio" "$floor_peak" "$trovel_peak"
    cmp -s "$folder/relatorio1.txt" "$work/unset/relatorio1.txt" || {
      echo "  $kind $megabytes MB: the report differs from the example's"
      missed=1
    }
    rm "$folder/caso1.txt" "$folder/floor/caso1.txt"
    [ "$kind$megabytes" = comment100 ] && comment_peak=$trovel_peak
  done
done
check "peak memory reading a 100 MB comment line x the example's" \
  "$(awk -v a="$comment_peak" -v b="$example_peak" 'BEGIN { printf "%.2f", a / b }')" 1.05
echo

echo "== 4. Size as shipped"
exe=$work/trovel.exe
x86_64-w64-mingw32-strip -o "$exe" "$top/build/windows/trovel.exe"
strip -o "$work/trovel" "$trovel"
echo "  trovel (Linux, Release): $(stat -c %s "$trovel") bytes, stripped $(stat -c %s "$work/trovel");" \
  "needs $(ldd "$trovel" | awk '{print $1}' | tr '\n' ' ')"
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')
echo "  trovel.exe (as in the release zip, stripped): $(stat -c %s "$exe") bytes; imports $imports"
if grep -qiE 'libstdc|libgcc|libwinpthread' <<<"$imports"; then
  echo "  trovel.exe needs a DLL of the compiler's runtime: not statically linked"
  missed=1
fi
check "trovel.exe size in MB (2^20 bytes)" \
  "$(awk -v s="$(stat -c %s "$exe")" 'BEGIN { printf "%.2f", s / 1048576 }')" 2
echo

[ "$missed" -eq 0 ] && echo "Every budget met." || echo "A budget was missed."
exit "$missed"
