#!/usr/bin/env bash
# Builds every benchmark in a Release tree and runs them one after another in
# one sitting, so that each figure and its baseline come from the same machine
# state. Raw outputs go to $out (default <build>/bench-results/<timestamp>/):
# one file per program, plus machine.txt with the load before and after each.
#
#   scripts/bench.sh                 # build-bench/, everything
#   LEXIFLIP_BENCH_DIR=out scripts/bench.sh
#   SIM_GAMES=200 scripts/bench.sh   # fewer engine games for the games/s figure
set -euo pipefail
cd "$(dirname "$0")/.."

build="${LEXIFLIP_BUILD_DIR:-build-bench}"
out="${LEXIFLIP_BENCH_DIR:-$build/bench-results/$(date -u +%Y%m%dT%H%M%SZ)}"
sim_games="${SIM_GAMES:-2000}"
targets=(wire_bench dictionary_bench compress_bench host_bench client_bench lexiflip-sim)

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
mkdir -p "$out"

machine="$out/machine.txt"
{
  echo "date: $(date -u '+%Y-%m-%d %H:%M:%S UTC')"
  echo "host: $(uname -srm)"
  echo "cpu: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores"
  echo "memory: $(free -m | awk '/^Mem:/ {print $2 " MiB"}')"
  echo "build: $(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt"), $(git rev-parse --short HEAD)"
} >"$machine"

# Runs one program, keeping its output and the load average around it.
run() {
  local name="$1"
  shift
  echo "== $name" | tee -a "$machine"
  # Other work on the machine shows here: the load and the compilers running.
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg), compilers running: $(pgrep -c cc1plus || true)" >>"$machine"
  local status=0
  # Colour codes stripped: one summary reporter writes them even into a file.
  "$@" 2>&1 | sed 's/\x1b\[[0-9;]*m//g' >"$out/$name.txt" || status=$?
  echo "load after:  $(cut -d' ' -f1-3 /proc/loadavg), exit $status" >>"$machine"
  cat "$out/$name.txt"
}

bin="$build/bench"
run wire_bench "$bin/wire_bench"
run dictionary_bench "$bin/dictionary_bench"
run compress_bench "$bin/compress_bench"
run host_bench "$bin/host_bench"
QT_QPA_PLATFORM=offscreen run client_bench "$bin/client_bench"
# Engine games per second; /usr/bin/time adds the whole process's wall time,
# dictionary load included, and its peak RSS.
run lexiflip-sim /usr/bin/time -v "$build/tools/lexiflip-sim" --games "$sim_games" --quiet
# Klot's strengths against each other, to 250 points, in both seat orders
# (seat 2 plays one turn more per game); each prints its seats' thinking time
# per turn beside the other's, Classic's search being the baseline.
for pair in strong,classic classic,strong expert,classic classic,expert expert,strong strong,expert; do
  run "strengths-${pair/,/-vs-}" "$build/tools/lexiflip-sim" --games "$sim_games" --score 250 --strengths "$pair" --quiet
done

echo "raw outputs in $out"
