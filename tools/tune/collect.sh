#!/usr/bin/env bash
# Grows the data set of positions from every source at once: rounds that
# raise each source's game count a step, every datagen call playing only the
# games its file lacks, so a stopped run goes on where it stopped.
#   tools/tune/collect.sh WORK [ROUNDS]     (default 200 rounds)
# WORK holds talvoran-lf and Data/ (copies, so the run needs no build tree)
# and gets one file of positions per source. It plays one game at a time.
set -uo pipefail  # one source that fails does not stop the others
here=$(cd "$(dirname "$0")" && pwd)
cd "$1" || exit 1
rounds=${2:-200}
dg() { python3 "$here/datagen.py" -j 1 --seed 1 "$@"; }
tal() { dg --talvoran ./talvoran-lf --data Data --tc 2+0.02 --nodes 16000 "$@"; }
weak=(--opponent /usr/games/stockfish --option UCI_LimitStrength=true)
for round in $(seq 1 "$rounds"); do
  echo "== round $round $(date -u +%FT%TZ)"
  # seed 1's games from 7222 on: the shipped files learned from games 0 to 7221
  dg --nodes 4000 --first-game 7222 --games $((round * 500)) --out sf-selfplay.txt
  tal --first-game 1000000 --games $((round * 100)) --out tal-self.txt
  tal --first-game 2000000 --games $((round * 20)) --opponent /usr/games/toga2 --out tal-toga2.txt
  tal --first-game 3000000 --games $((round * 20)) --opponent "/usr/games/gnuchess --uci" --out tal-gnuchess.txt
  tal --first-game 4000000 --games $((round * 20)) "${weak[@]}" --option UCI_Elo=1500 --out tal-sf1500.txt
  tal --first-game 5000000 --games $((round * 20)) "${weak[@]}" --option UCI_Elo=2000 --out tal-sf2000.txt
done
