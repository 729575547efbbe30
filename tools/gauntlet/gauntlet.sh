#!/usr/bin/env bash
# Talvoran against the chess engines that Debian packages, one after the
# other, from tests/data/openings.epd with colours reversed, two games at once.
#
#   tools/gauntlet/gauntlet.sh CUTECHESS ENGINEDIR [GAMES [TC [OPPONENT...]]]
#
# CUTECHESS is a cutechess-cli binary; ENGINEDIR holds talvoran-lf and Data/.
# GAMES per opponent (default 20), TC default 10+0.1; the opponents default to
# all eight: fairymax phalanx gnuchess toga2 sf1500 sf2000 hoichess sjeng.
# Games go to gauntlet-TC.pgn in the current directory; cutechess prints the
# score of each pairing and its Elo at the end.
set -euo pipefail
cutechess=$1 engine_dir=$(cd "$2" && pwd) games=${3:-20} tc=${4:-10+0.1}
shift $(( $# < 4 ? $# : 4 ))
opponents=("$@")
[ ${#opponents[@]} -gt 0 ] || opponents=(fairymax phalanx gnuchess toga2 sf1500 sf2000 hoichess sjeng)
repo=$(cd "$(dirname "$0")/../.." && pwd)
bash "$repo/tools/install-packages.sh" libqt6core6 stockfish toga2 gnuchess fairymax phalanx hoichess sjeng

engines=()
for name in "${opponents[@]}"; do
  case $name in
    fairymax|phalanx|hoichess|sjeng) engines+=(-engine name="$name" cmd="/usr/games/$name" proto=xboard) ;;
    gnuchess) engines+=(-engine name=gnuchess cmd=/usr/games/gnuchess arg=--uci proto=uci) ;;
    toga2) engines+=(-engine name=toga2 cmd=/usr/games/toga2 proto=uci) ;;
    sf[0-9]*) engines+=(-engine name="$name" cmd=/usr/games/stockfish proto=uci
                        option.UCI_LimitStrength=true option.UCI_Elo="${name#sf}") ;;
    *) echo "gauntlet.sh: unknown opponent $name" >&2; exit 2 ;;
  esac
done

exec "$cutechess" -engine name=talvoran cmd=./talvoran-lf dir="$engine_dir" proto=uci "${engines[@]}" \
  -tournament gauntlet -each tc="$tc" \
  -openings file="$repo/tests/data/openings.epd" format=epd order=random \
  -repeat -games "$games" -concurrency 2 -recover -pgnout "gauntlet-$tc.pgn"
