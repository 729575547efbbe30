#!/usr/bin/env bash
# Learns the six piece-square files from Stockfish's games, from scratch:
# installs what it needs, builds the tuner, plays the games (appending to
# WORK/positions.txt, so a stopped run goes on where it stopped), keeps the
# quiet positions, fits the tables into Data/ and draws docs/piece-square.png.
#   tools/tune/tune.sh [WORK [GAMES [LAMBDA]]]    defaults: tune 6000 LAMBDA
# Run it from the repository root. The shipped files were made by the
# defaults; the same seed and node budget make the same games.
set -euo pipefail
work=${1:-tune}
games=${2:-6000}
lambda=${3:-0}
python=/usr/bin/python3  # Debian's, which has matplotlib
bash tools/install-packages.sh cmake g++ python3 stockfish python3-matplotlib
cmake -S . -B build-tune -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=OFF >/dev/null
cmake --build build-tune -j "$(nproc)" --target talvoran-tune >/dev/null
mkdir -p "$work"
time "$python" tools/tune/datagen.py --games "$games" -j "$(nproc)" --seed 1 --nodes 4000 --out "$work/positions.txt"
time build-tune/talvoran-tune filter "$work/positions.txt" "$work/quiet.txt"
time build-tune/talvoran-tune fit "$work/quiet.txt" --lambda "$lambda" --out Data
"$python" tools/tune/heatmap.py --data Data --out docs/piece-square.png
