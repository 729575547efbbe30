#!/usr/bin/env bash
# Learns the six piece-square files from scratch: installs what it needs,
# builds the tuner, plays the three sources' games (each appending to its own
# file in WORK, so a stopped run goes on where it stopped), keeps the quiet
# positions, fits the tables into Data/ and draws docs/piece-square.png.
#   tools/tune/tune.sh [WORK]        default WORK: tune
# Run it from the repository root. The shipped files were made by these
# settings. Stockfish's games, plain and shaken, are the same in every run;
# Talvoran's depend on the machine's speed and on the files in Data/ when it
# starts (the shipped set's were played by the files before them).
set -euo pipefail
work=${1:-tune}
python=/usr/bin/python3  # Debian's, which has matplotlib
jobs=$(nproc)
bash tools/install-packages.sh cmake g++ python3 stockfish python3-matplotlib
cmake -S . -B build-tune -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=OFF >/dev/null
cmake --build build-tune -j "$jobs" --target talvoran-tune talvoran-lf >/dev/null
mkdir -p "$work"
datagen() { "$python" tools/tune/datagen.py -j "$jobs" --seed 1 --nodes 4000 "$@"; }
# Stockfish against itself, 4000 nodes a move
time datagen --games 7222 --out "$work/stockfish.txt"
# the same, shaken: a random quiet move at one ply in twenty
time datagen --first-game 10000000 --games 8790 --random-moves 0.05 --out "$work/shaken.txt"
# Talvoran against itself at 1+0.01, scored by Stockfish
cp build-tune/talvoran-lf "$work/"
[ -d "$work/Data" ] || cp -r Data "$work/Data"
time datagen --talvoran "$work/talvoran-lf" --data "$work/Data" --tc 1+0.01 --first-game 1000000 --games 880 \
  --out "$work/talvoran.txt"
for source in stockfish shaken talvoran; do
  build-tune/talvoran-tune filter "$work/$source.txt" "$work/$source-quiet.txt"
done
cat "$work"/{stockfish,shaken,talvoran}-quiet.txt > "$work/quiet.txt"
time build-tune/talvoran-tune fit "$work/quiet.txt" --out Data
"$python" tools/tune/heatmap.py --data Data --out docs/piece-square.png
