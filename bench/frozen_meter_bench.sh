#!/usr/bin/env bash
# A meter that freezes (the simulator stopped with SIGSTOP) or a cable that is pulled (the simulator killed) in the
# middle of a download: the time from the meter's last byte to the end of `bdlogic --batch`, which must be at most
# 3.5 s, and the exit status (7) and line the program ends with.
# Usage: bench/frozen_meter_bench.sh [build dir] [runs per case]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-3}
memory=$root/tools/meter_sim/samples/month_mgdl.mem
cmake --build "$build" --target bdlogic bdlogic-meter-sim >/dev/null
work=$(mktemp -d)
simpid=
cleanup() {
  if [ -n "$simpid" ]; then kill -CONT "$simpid" 2>/dev/null || true; kill "$simpid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
now() { date +%s%N; }

# One run: signal the simulator once it has answered command $2 (hex); prints "ms status line".
run() {
  local signal=$1 code=$2 log=$work/sim.log device= deadline status=0
  rm -rf "$work/reg" "$work/import" "$log" && mkdir -p "$work/reg" "$work/import"
  "$build/bdlogic-meter-sim" --memory "$memory" --log "$log" >"$work/device" 2>/dev/null &
  simpid=$!
  disown "$simpid" # its death is the point here, not news
  deadline=$(( $(now) + 5000000000 ))
  until device=$(head -n1 "$work/device" 2>/dev/null) && [ -n "$device" ]; do
    [ "$(now)" -lt "$deadline" ] || { echo "the simulator did not start" >&2; exit 1; }
    sleep 0.01
  done
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\r\n"%s"="COM3"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\r\n"ImportDir"="%s"\r\n"LanguageDLL"="English"\r\n' \
    "$device" "$work/import" >"$work/reg/HKEY_LOCAL_MACHINE.reg"
  CORVANE_REGISTRY_DIR=$work/reg CORVANE_LANGUAGE_PATH=$build/lang \
    "$build/bdlogic" --batch "H|42|3|64" >"$work/out" 2>"$work/err" &
  local driver=$!
  until grep -q "> 00 $code " "$log" 2>/dev/null; do
    [ "$(now)" -lt "$deadline" ] || { echo "the download never reached command $code" >&2; exit 1; }
    sleep 0.002
  done
  # The simulator writes an answer right after logging its command: give it a moment to leave.
  sleep 0.02
  kill "-$signal" "$simpid"
  wait "$driver" || status=$?
  local ended
  ended=$(now)
  # The last byte: the answer to $code, at its log time (seconds from the start the first line gives).
  local last
  last=$(awk -v code="> 00 $code " '
    NR == 1 { split($0, f, " "); start = f[4] }
    index($0, code) { t = $1 }
    END { printf "%.0f", (start + t) * 1e9 }' "$log")
  kill -CONT "$simpid" 2>/dev/null || true
  kill "$simpid" 2>/dev/null || true
  simpid=
  echo "$(( (ended - last) / 1000000 )) $status $(grep 'Download incomplete' "$work/err" || echo '(no line)')"
}

echo "machine   $(uname -srm), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "memory    ${memory#"$root"/}; goal: at most 3500 ms from the meter's last byte to the program's end"
for signal in STOP KILL; do
  for code in 84 93; do
    times=()
    for i in $(seq "$runs"); do
      run "$signal" "$code" >"$work/result"
      read -r ms status line <"$work/result"
      times+=("$ms")
      echo "SIG$signal after 00 $code, run $i: $ms ms, exit status $status: $line"
    done
    printf '%s\n' "${times[@]}" | sort -n |
      awk -v what="SIG$signal after 00 $code" '{a[NR]=$1} END {print what ": median " a[int((NR+1)/2)] " ms, max " a[NR] " ms"}'
  done
done
