#!/usr/bin/env bash
# Learns the six piece-square files from scratch: installs what it needs,
# builds the tuner, plays the seven sources' games (each appending to its own
# file in WORK, so a stopped run goes on where it stopped), keeps the quiet
# positions, fits the tables into Data/ and draws docs/piece-square.png.
#   tools/tune/tune.sh [WORK]        default WORK: tune
# Run it from the repository root. The shipped files were made by these
# settings. Stockfish's games, plain and shaken, are the same in every run;
# Talvoran's depend on the machine's speed and on the files in Data/ when it
# starts (the shipped set's were played by earlier files). It runs for hours
# on two cores; every step resumes.
set -euo pipefail
work=${1:-tune}
python=/usr/bin/python3  # Debian's, which has matplotlib
jobs=$(nproc)
bash tools/install-packages.sh cmake g++ python3 stockfish python3-matplotlib toga2 gnuchess
cmake -S . -B build-tune -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=OFF >/dev/null
cmake --build build-tune -j "$jobs" --target talvoran-tune talvoran-lf >/dev/null
mkdir -p "$work"
datagen() { "$python" tools/tune/datagen.py -j "$jobs" --seed 1 --nodes 4000 "$@"; }
# Stockfish against itself, 4000 nodes a move
time datagen --games 7222 --out "$work/stockfish.txt"
# the same, shaken: a random quiet move at one ply in twenty
time datagen --first-game 10000000 --games 32209 --random-moves 0.05 --out "$work/shaken.txt"
# shaken harder, one ply in seven: more lopsided positions
time datagen --first-game 20000000 --games 61500 --random-moves 0.15 --out "$work/shaken15.txt"
# Talvoran against itself at 1+0.01, and against three Debian engines at
# 2+0.02 (Stockfish limited to 2000 Elo), scored by Stockfish
cp build-tune/talvoran-lf "$work/"
[ -d "$work/Data" ] || cp -r Data "$work/Data"
talvoran() { datagen --talvoran "$work/talvoran-lf" --data "$work/Data" "$@"; }
time talvoran --tc 1+0.01 --first-game 1000000 --games 880 --out "$work/talvoran.txt"
versus() { talvoran --tc 2+0.02 --nodes 16000 "$@"; }
time versus --first-game 2000000 --games 215 --opponent /usr/games/toga2 --out "$work/toga2.txt"
time versus --first-game 3000000 --games 280 --opponent "/usr/games/gnuchess --uci" --out "$work/gnuchess.txt"
time versus --first-game 5000000 --games 165 --opponent /usr/games/stockfish \
  --option UCI_LimitStrength=true --option UCI_Elo=2000 --out "$work/sf2000.txt"
sources=(stockfish shaken shaken15 talvoran toga2 gnuchess sf2000)
for source in "${sources[@]}"; do
  build-tune/talvoran-tune filter "$work/$source.txt" "$work/$source-quiet.txt"
done
for source in "${sources[@]}"; do cat "$work/$source-quiet.txt"; done > "$work/quiet.txt"
time build-tune/talvoran-tune fit "$work/quiet.txt" --out Data
"$python" tools/tune/heatmap.py --data Data --out docs/piece-square.png
