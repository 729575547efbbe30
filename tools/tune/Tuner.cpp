// The piece-square tuner. The model is the evaluation itself: a position's
// score for white is the sum of its white pieces' cells minus its black
// pieces' mirrored cells, in the half that the phase rule picks, so fitting
// the 768 numbers linearly fits exactly what the engine will compute.
#include "tools/tune/Tuner.h"

#include "board/Check.h"
#include "board/DataFiles.h"
#include "board/Initialize.h"
#include "board/Mapper.h"
#include "frontend/Decript.h"
#include "frontend/Interface.h"
#include "movegen/Evaluation.h"
#include "search/TreeLeaf.h"
#include "search/TreeRoot.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>

constexpr int CellCount = 6 * 128;
constexpr int LargestValue = 32767;  // the engine reads every number as a signed 16-bit value

TuneTables LoadedTables()
{
    TuneTables tables{};
    for (int kind = Pawn; kind <= King; kind++)
        for (int n = 0; n < 128; n++)
            tables.Values[kind - 1][n] = PieceSquare[kind][n];
    return tables;
}

TuneTables MaterialTables()
{
    static const double material[6] = {100, 320, 330, 500, 900, 0};
    TuneTables tables{};
    for (int kind = Pawn; kind <= King; kind++)
        for (int n = 0; n < 128; n++)
            tables.Values[kind - 1][n] = material[kind - 1];
    FinishTables(tables);
    return tables;
}

bool SetUpFen(const std::string& fen, Position& pos)
{
    WordList words = SplitWords("fen " + fen);
    if (DecodePosition(words, 0, static_cast<int>(words.size()) - 1) || !LastAccepted.Valid)
        return false;
    pos = BuildPosition(LastAccepted.Board, LastAccepted.Castling, LastAccepted.EnPassant, LastAccepted.Halfmoves,
                        LastAccepted.Side);
    return true;
}

TunePosition PositionCells(const Position& pos)
{
    EvalState eval;
    EvaluatePosition(pos, eval);
    const int offset = EndgameOffset(eval);  // the half the engine reads
    TunePosition position{};
    for (int colour = White; colour <= Black; colour++) {
        for (int slot = colour * 32; slot <= pos.ListEnd[colour]; slot += 2) {
            int kind = pos.PieceList[slot];
            int cell = pos.PieceList[slot + 1] | offset;
            int n = colour == White ? cell : (7 - cell / 16) * 16 + cell % 16;  // black reads the mirror
            int index = 1 + (kind - 1) * 128 + n;
            position.Cells[position.Count++] = static_cast<int16_t>(colour == White ? index : -index);
        }
    }
    return position;
}

// The value of a signed cell and its sign, over the flat table.
static inline double CellValue(const double* values, int16_t cell)
{
    return cell > 0 ? values[cell - 1] : -values[-cell - 1];
}

double WhiteScore(const TunePosition& position, const TuneTables& tables)
{
    double score = 0;
    for (int i = 0; i < position.Count; i++)
        score += CellValue(&tables.Values[0][0], position.Cells[i]);
    return score;
}

bool IsQuietPosition(Position& pos)
{
    if (IsSquareAttacked(pos, KingSquare(pos, pos.Side), pos.XSide))
        return false;
    EvalState eval;
    EvaluatePosition(pos, eval);
    const int16_t standPat = eval.Score;
    int16_t resolved = SearchLeaf(pos, eval, 0, 1, false, -MateScore, MateScore);
    return resolved == standPat;
}

double WinProbability(double k, double score)
{
    return 1.0 / (1.0 + std::exp(-k * std::log(10.0) / 400.0 * score));  // 10^x as e^(x ln 10), faster than pow
}

double MeanError(const std::vector<TunePosition>& positions, const TuneTables& tables, double k)
{
    double sum = 0;
    for (const TunePosition& position : positions) {
        double error = WinProbability(k, WhiteScore(position, tables)) - position.Target;
        sum += error * error;
    }
    return positions.empty() ? 0 : sum / static_cast<double>(positions.size());
}

double FitScale(const std::vector<TunePosition>& positions, const TuneTables& tables)
{
    // the error is smooth and has one minimum in this range: golden section
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double low = 0.1, high = 4.0;
    double a = high - ratio * (high - low), b = low + ratio * (high - low);
    double errorA = MeanError(positions, tables, a), errorB = MeanError(positions, tables, b);
    while (high - low > 1e-4) {
        if (errorA < errorB) {
            high = b, b = a, errorB = errorA;
            a = high - ratio * (high - low);
            errorA = MeanError(positions, tables, a);
        } else {
            low = a, a = b, errorA = errorB;
            b = low + ratio * (high - low);
            errorB = MeanError(positions, tables, b);
        }
    }
    return (low + high) / 2;
}

// Adds the gradient of the squared error over positions [first, last) of
// order to gradient, for the flat table values; c = k ln 10 / 400 is the
// slope factor of the win probability.
static void AddGradient(const std::vector<TunePosition>& positions, const std::vector<uint32_t>& order, size_t first,
                        size_t last, const TuneTables& tables, double k, double c, double* gradient)
{
    for (size_t i = first; i < last; i++) {
        const TunePosition& position = positions[order[i]];
        double p = WinProbability(k, WhiteScore(position, tables));
        double slope = 2 * (p - position.Target) * p * (1 - p) * c;
        for (int j = 0; j < position.Count; j++) {
            int16_t cell = position.Cells[j];
            if (cell > 0)
                gradient[cell - 1] += slope;
            else
                gradient[-cell - 1] -= slope;
        }
    }
}

int CellNeighbours(int cell, int neighbours[4])
{
    const int kind = cell / 128, n = cell % 128;
    const int row = n / 16, column = n % 8;
    const int firstRow = kind == Pawn - 1 ? 1 : 0, lastRow = kind == Pawn - 1 ? 6 : 7;
    int count = 0;
    if (row < firstRow || row > lastRow)
        return 0;
    if (column > 0)
        neighbours[count++] = cell - 1;
    if (column < 7)
        neighbours[count++] = cell + 1;
    if (row > firstRow)
        neighbours[count++] = cell - 16;
    if (row < lastRow)
        neighbours[count++] = cell + 16;
    return count;
}

// Adds the gradient of the smoothness term: each pair of neighbouring cells
// that are both fitted costs smooth times the square of their difference.
static void AddSmoothGradient(const double* values, const std::vector<bool>& fitted, double smooth, double* gradient)
{
    int neighbours[4];
    for (int i = 0; i < CellCount; i++) {
        if (!fitted[i])
            continue;
        for (int j = 0, count = CellNeighbours(i, neighbours); j < count; j++)
            if (fitted[neighbours[j]])
                gradient[i] += 2 * smooth * (values[i] - values[neighbours[j]]);
    }
}

void FillRareCells(TuneTables& tables, const std::vector<int>& seen, int minimum)
{
    double* values = &tables.Values[0][0];
    int neighbours[4];
    for (int table = 0; table < 12; table++) {  // a kind's half: cells kind * 128 + row * 16 + half * 8 + column
        const int kind = table / 2, half = table % 2;
        std::vector<int> rare;
        bool anchored = false;
        for (int row = 0; row < 8; row++)
            for (int column = 0; column < 8; column++) {
                int cell = kind * 128 + row * 16 + half * 8 + column;
                if (CellNeighbours(cell, neighbours) == 0)
                    continue;  // a pawn's first or last rank
                if (seen[cell] < minimum)
                    rare.push_back(cell);
                else
                    anchored = true;
            }
        if (!anchored)
            continue;
        for (int sweep = 0; sweep < 2000; sweep++)  // Gauss-Seidel: settles well within this on an 8x8 board
            for (int cell : rare) {
                double sum = 0;
                int count = CellNeighbours(cell, neighbours);
                for (int j = 0; j < count; j++)
                    sum += values[neighbours[j]];
                values[cell] = sum / count;
            }
    }
}

std::vector<int> CellCounts(const std::vector<TunePosition>& positions)
{
    std::vector<int> counts(CellCount, 0);
    for (const TunePosition& position : positions)
        for (int j = 0; j < position.Count; j++)
            counts[std::abs(position.Cells[j]) - 1]++;
    return counts;
}

void FitTables(const std::vector<TunePosition>& training, const std::vector<TunePosition>& heldOut,
               TuneTables& tables, double k, const TuneSettings& settings, std::ostream& out)
{
    double* values = &tables.Values[0][0];
    const std::vector<double> start(values, values + CellCount);
    const std::vector<int> seen = CellCounts(training);
    std::vector<bool> fitted(CellCount);
    for (int i = 0; i < CellCount; i++)
        fitted[i] = seen[i] >= settings.MinimumCount;
    std::vector<double> gradient(CellCount), first(CellCount, 0), second(CellCount, 0);
    std::vector<uint32_t> order(training.size());
    std::iota(order.begin(), order.end(), 0u);
    std::mt19937_64 shuffler(settings.Seed);
    const double c = k * std::log(10.0) / 400;
    const double beta1 = 0.9, beta2 = 0.999;
    long step = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int pass = 1; pass <= settings.Passes; pass++) {
        double share = settings.Passes > 1 ? (pass - 1.0) / (settings.Passes - 1) : 1;
        double rate = settings.Rate + (settings.FinalRate - settings.Rate) * share;
        std::shuffle(order.begin(), order.end(), shuffler);
        for (size_t at = 0; at < order.size(); at += settings.BatchSize) {
            size_t end = std::min(order.size(), at + settings.BatchSize);
            std::fill(gradient.begin(), gradient.end(), 0.0);
            AddGradient(training, order, at, end, tables, k, c, gradient.data());
            for (int i = 0; i < CellCount; i++)
                gradient[i] /= static_cast<double>(end - at);
            if (settings.Smooth > 0)
                AddSmoothGradient(values, fitted, settings.Smooth, gradient.data());
            step++;
            double correction1 = 1 - std::pow(beta1, step), correction2 = 1 - std::pow(beta2, step);
            for (int i = 0; i < CellCount; i++) {
                if (!fitted[i])
                    continue;
                double g = gradient[i] + 2 * settings.Ridge * (values[i] - start[i]);
                first[i] = beta1 * first[i] + (1 - beta1) * g;
                second[i] = beta2 * second[i] + (1 - beta2) * g * g;
                values[i] -= rate * (first[i] / correction1) / (std::sqrt(second[i] / correction2) + 1e-12);
                bool king = i >= (King - 1) * 128;
                values[i] = std::min<double>(LargestValue, king ? values[i] : std::max(0.0, values[i]));
            }
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char line[160];
        std::snprintf(line, sizeof line, "pass %d/%d  training %.6f  held-out %.6f  rate %.3f  %.1f s", pass,
                      settings.Passes, MeanError(training, tables, k), MeanError(heldOut, tables, k), rate, seconds);
        out << line << std::endl;
    }
    if (settings.Fill)
        FillRareCells(tables, seen, settings.MinimumCount);
    FinishTables(tables);
}

void FinishTables(TuneTables& tables)
{
    for (int kind = Pawn; kind <= King; kind++)
        for (int n = 0; n < 128; n++) {
            double& value = tables.Values[kind - 1][n];
            value = std::nearbyint(value);
            if (kind == Pawn && (n / 16 == 0 || n / 16 == 7))
                value = 0;  // no pawn ever stands on the first or last rank
            if (kind != King)
                value = std::clamp(value, 0.0, double{LargestValue});
        }
    double* king = tables.Values[King - 1];
    double lowest = *std::min_element(king, king + 128);
    for (int n = 0; n < 128; n++)
        king[n] = std::min(king[n] - std::min(lowest, 0.0), double{LargestValue});
}

bool WriteTables(const TuneTables& tables, const std::string& directory)
{
    for (int kind = Pawn; kind <= King; kind++) {
        std::FILE* file = std::fopen((directory + "/" + PieceSquareFiles[kind]).c_str(), "wb");
        if (file == nullptr)
            return false;
        for (int n = 0; n < 128; n++)
            std::fprintf(file, n % 16 == 15 ? "%4d\n" : "%4d ", static_cast<int>(tables.Values[kind - 1][n]));
        if (std::fclose(file) != 0)
            return false;
    }
    return true;
}

void LoadTables(const std::string& directory)
{
    for (int kind = Pawn; kind <= King; kind++)
        LoadPieceSquare(directory + "/" + PieceSquareFiles[kind], kind);
}
