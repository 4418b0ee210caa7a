#!/usr/bin/env bash
# Time from the program's start until the wizard window is mapped, and the program's peak memory, under Xvfb.
# Usage: bench/startup_bench.sh [build dir] [runs]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-10}
if [ -z "${BDLOGIC_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "needs xvfb-run and x11-utils" >&2; exit 1; }
  BDLOGIC_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$runs"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CORVANE_REGISTRY_DIR="$work"
times=()
for i in $(seq "$runs"); do
  start=$(date +%s%N)
  "$build/bdlogic" "H|42|3|64" 2>/dev/null &
  pid=$!
  deadline=$((start + 10000000000))
  until xwininfo -name "BD Logic" >/dev/null 2>&1; do
    sleep 0.002
    [ "$(date +%s%N)" -lt "$deadline" ] || { echo "the wizard did not appear" >&2; kill "$pid"; exit 1; }
  done
  shown=$(date +%s%N)
  sleep 0.5
  peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  ms=$(( (shown - start) / 1000000 ))
  times+=("$ms")
  echo "run $i: wizard shown after $ms ms, peak memory $(( peak / 1024 )) MiB"
done
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print "median: " a[int((NR+1)/2)] " ms"}'
