// The piece-square tuner: the engine's evaluation as a linear model over the
// 768 numbers of the six piece-square files, fitted to labelled positions by
// gradient descent on the squared error of a win probability.
#pragma once

#include "board/Position.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// The six files' numbers as the tuner fits them: Values[kind - 1][n] is the
// n-th number of the kind's file (row n / 16 from rank 8; columns 0-7 the
// middle game, 8-15 the endgame), white's view. Black reads the mirror.
struct TuneTables {
    double Values[6][128];
};

// One training position: its label (a probability for white) and its pieces
// as cells of TuneTables, 1 + (kind - 1) * 128 + n, positive for white's,
// negated for black's. Both sides' kings are among them.
struct TunePosition {
    float Target;
    uint8_t Count;
    int16_t Cells[32];
};

// The tables that the engine has loaded, as TuneTables.
TuneTables LoadedTables();

// The tuner's start: material alone (pawn 100, knight 320, bishop 330, rook
// 500, queen 900) on every square, the kings 0.
TuneTables MaterialTables();

// Sets up a FEN (six fields) through the position command; false if refused.
bool SetUpFen(const std::string& fen, Position& pos);

// The cells of pos's pieces in the half of the tables that the evaluation's
// phase rule chooses. The label is left 0.
TunePosition PositionCells(const Position& pos);

// White's score of a position under the tables: what the evaluation gives
// white when the files hold tables.
double WhiteScore(const TunePosition& position, const TuneTables& tables);

// True for a position whose static score means something: not in check, and
// the quiescence search (full window) returns the static score.
bool IsQuietPosition(Position& pos);

// The win probability of white's score s: 1 / (1 + 10^(-k * s / 400)).
double WinProbability(double k, double score);

// Mean squared error of the model's probabilities against the labels.
double MeanError(const std::vector<TunePosition>& positions, const TuneTables& tables, double k);

// The k in 0.1 ... 4 that makes MeanError least for the tables.
double FitScale(const std::vector<TunePosition>& positions, const TuneTables& tables);

// How many of positions' pieces stand on each cell: counts[(kind - 1) * 128 + n].
std::vector<int> CellCounts(const std::vector<TunePosition>& positions);

struct TuneSettings {
    int Passes = 40;            // passes over the training positions
    int BatchSize = 16384;      // positions per Adam step
    double Rate = 2.0;          // step size at the first pass, in score units
    double FinalRate = 0.2;     // at the last pass, falling linearly
    int MinimumCount = 100;     // cells seen fewer times are not fitted
    double Ridge = 1e-9;        // pull of every cell back to its start value
    double Smooth = 0;          // pull of every fitted cell towards its fitted neighbours
    bool Fill = false;          // the cells not fitted take their neighbours' values
    uint64_t Seed = 1;          // for the order of the positions
};

// Fits tables (the start values in, the fitted ones out) to the training
// positions by Adam with k held fixed, then rounds them with FinishTables.
// The error minimised is the mean squared error plus Ridge times the sum of
// the squared distances from the start values, which keeps the cells that
// few positions speak for near where they began, plus Smooth times the sum
// of the squared differences of neighbouring fitted cells. Cells seen fewer
// than MinimumCount times keep their start values, or with Fill are given
// those of their neighbours by FillRareCells.
// Writes a progress line per pass to out: the errors on training and held-out.
void FitTables(const std::vector<TunePosition>& training, const std::vector<TunePosition>& heldOut,
               TuneTables& tables, double k, const TuneSettings& settings, std::ostream& out);

// The neighbours of a cell (Values[kind - 1][n] is cell (kind - 1) * 128 + n):
// the cells beside, above and below it on the board, same kind and half; a
// pawn's neighbours leave out the first and last rank. Returns how many.
int CellNeighbours(int cell, int neighbours[4]);

// Gives every cell that seen marks as rare (fewer than minimum) the mean of
// its neighbours, over and over until the values settle, while the other
// cells stay: rare cells take the values of the nearest fitted ones, blended.
// A kind and half without a fitted cell is left alone.
void FillRareCells(TuneTables& tables, const std::vector<int>& seen, int minimum);

// Whole numbers, non-negative, 32767 at most, no pawn on the first or last
// rank; the kings lifted by one constant until none is negative (both sides
// always have one, so a constant cancels out of every score).
void FinishTables(TuneTables& tables);

// Writes the six files (Pawn.txt ... King.txt) into directory in the
// shipped format: 8 lines of 16 numbers, rank 8 first.
bool WriteTables(const TuneTables& tables, const std::string& directory);

// Loads the six files of directory into the engine's tables.
void LoadTables(const std::string& directory);
