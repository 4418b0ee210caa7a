#!/usr/bin/env bash
# A full download from the meter simulator paced at 9600 baud 8O1: wall time against the floor of the line and
# the prescribed waits, and the driver's CPU time.
# Usage: bench/download_bench.sh [build dir] [memory file] [model code]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
memory=${2:-$root/tools/meter_sim/samples/month_mgdl.mem}
model=${3:-64}
cmake --build "$build" --target download_bench bdlogic-meter-sim >/dev/null
echo "machine         $(uname -srm), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "memory file     ${memory#"$root"/}"
"$build/download_bench" --sim "$build/bdlogic-meter-sim" --memory "$memory" --model "$model"
