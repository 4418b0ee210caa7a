#!/usr/bin/env bash
# Kills the program (SIGKILL) at random moments of a large export and checks what the host would find in the
# import directory: no import file, or a whole one, never a part. Several runs share the directory at once, so
# a run's clean-up must spare the work files of the others; the export after the last kill leaves no hidden
# file behind.
# Usage: kill_during_export.sh BUILD_DIR [SECONDS [SLOTS]]   (SECONDS: how long to go on killing, default 5;
# SLOTS: runs at the same time, each with a meter simulator of its own, default 4). Exit status 77: skipped.
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-5}
slots=${3:-4}
[ -c /dev/ptmx ] || { echo "no pseudo-terminals: skipped"; exit 77; }
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
import="$work/import"
mkdir -p "$import" "$work/registry"
export CORVANE_REGISTRY_DIR="$work/registry" CORVANE_LANGUAGE_PATH="$build/lang" LC_ALL=C.UTF-8

# 18,000 glucose readings and 18,000 markers (four categories): a file of about 900 KB in five sections.
awk 'BEGIN {
  print "[wake]\n]\n[info]\nBD,Logic,V2.10,mg/dl,24h,DMY,20240215,1432,2,1,0,0,LG12345678"
  for (b = 0; b < 18; b++) {
    print (b < 9 ? "[glucose " b "]" : "[marker " b - 9 "]")
    for (i = 0; i < 2000; i++) {
      n++; d = int(n / 8); date = sprintf("2023%02d%02d,%02d%02d", 1 + int(d / 28) % 12, 1 + d % 28, n % 8 * 3, n % 60)
      if (b < 9) printf "Glu,%3d,mg/dl,0,%s\n", 60 + n % 200, date; else printf "P%d,%d,,,%s\n", 1 + n % 4, 1 + n % 20, date
    }
  }
}' >"$work/memory.mem"

# One simulator per slot; slot k is COM(3+k) and patient 100+k.
serial=""
for ((k = 0; k < slots; k++)); do
  "$build/bdlogic-meter-sim" --memory "$work/memory.mem" >"$work/sim$k.out" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/sim$k.out" ] && break; sleep 0.05; done
  serial+="\"$(head -1 "$work/sim$k.out")\"=\"COM$((3 + k))\"\r\n"
done
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\r\n%b\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\r\n"ImportDir"="%s"\r\n"LanguageDLL"="English"\r\n' \
  "$serial" "$import" >"$work/registry/HKEY_LOCAL_MACHINE.reg"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Corvane\\H\\modules\\BD Logic]\r\n"Type1"="1"\r\n"Type2"="2"\r\n"Type3"="3"\r\n' \
  >"$work/registry/HKEY_CURRENT_USER.reg"

# An import file without its moment of export: what every whole file of this memory holds.
content() { grep -av '^\(Date\|Time\) of Import=' "$1"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
expected="$work/expected"

# The slot's run in the background; waits until its export begins, which a new file of its patient in the
# import directory tells, hidden or not (the download before it takes most of a run), or until the run ends.
start_export() {
  local patient known name
  patient=$(printf '%05d' $((100 + $1)))
  known=$(compgen -G "$import/.*.$patient.*" || true)
  "$build/bdlogic" --batch "H|$((100 + $1))|$((3 + $1))|64" >"$work/out$1" 2>>"$work/errors" &
  run=$!
  while kill -0 "$run" 2>/dev/null; do
    for name in $(compgen -G "$import/*.$patient" || true) $(compgen -G "$import/.*.$patient.*" || true); do
      [[ $known == *"$name"* ]] || return 0
    done
    sleep 0.01
  done
}

# A complete run gives the expected content and the time the export takes.
start_export 0
started=$(now_ms)
wait "$run" || { echo "a complete run failed:"; cat "$work/errors"; exit 1; }
export_ms=$(($(now_ms) - started))
file=$(cat "$work/out0")
content "$file" >"$expected"
rm -f "$file"
grep -q '^\[MEDICINES\]' "$expected" || { echo "the complete run's file lacks sections"; exit 1; }

# Kills one run of the slot at a random moment of its export; prints what it left: none, whole or part.
kill_one() {
  start_export "$1"
  # Exports of the slots overlap and slow each other down; some kills come after the end.
  local delay=$(((RANDOM * 32768 + RANDOM) % (export_ms * (slots + 2) / 2 + 1)))
  sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
  kill -9 "$run" 2>/dev/null || true
  wait "$run" 2>/dev/null || true
  local patient found=none name
  patient=$(printf '%05d' $((100 + $1)))
  for name in "$import"/*."$patient"; do
    [ -e "$name" ] || continue
    if cmp -s <(content "$name") "$expected"; then found=whole; else found=part; fi
    rm -f "$name"
  done
  echo "$found"
  # Anything else under an import name beside it (a temporary file of a save) is a stray.
  for name in "$import"/*."$patient".*; do [ -e "$name" ] && echo stray && rm -f "$name"; done
  return 0
}

deadline=$(($(now_ms) + seconds * 1000))
for ((k = 0; k < slots; k++)); do
  (while (($(now_ms) < deadline)); do kill_one "$k"; done >"$work/outcomes$k") &
  pids+=($!)
done
wait "${pids[@]:slots}"

left=$(find "$import" -name '.*.part' | wc -l)
start_export 0
wait "$run" || { echo "the run after the kills failed:"; cat "$work/errors"; exit 1; }
file=$(cat "$work/out0")
leftover=$(find "$import" -name '.*' -type f | wc -l)
count() { cat "$work"/outcomes* | grep -c "^$1\$" || true; }
whole=$(count whole) none=$(count none) part=$(count part) stray=$(count stray)
echo "$((whole + none + part)) kills during the export ($slots runs at a time, an export takes ${export_ms} ms):" \
  "$none left no import file, $whole a whole one, $part a part, $stray a stray temporary file;" \
  "$left work files were left before the last export, $leftover after it"
cmp -s <(content "$file") "$expected" || { echo "the last export's file is not whole"; exit 1; }
((part == 0 && stray == 0 && leftover == 0 && whole + none > 0))
