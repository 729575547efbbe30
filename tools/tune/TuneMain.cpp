// talvoran-tune: learns the six piece-square files from labelled positions
// (the lines that tools/tune/datagen.py writes). Run it where Data/ is.
//   talvoran-tune filter IN OUT [--skip-plies N]
//       keeps the quiet positions: no mate score, past the first N plies
//       (default 8), not in check, Stockfish's move neither a capture nor a
//       promotion, and the quiescence search returns the static score
//       (of material alone)
//   talvoran-tune fit IN [--lambda L] [--passes N] [--rate R] [--ridge A]
//                        [--smooth B] [--min N] [--fill] [--seed S] [--from DIR]
//                        [--out DIR]
//       fits the tables, starting from material alone on every square (or
//       from DIR's files), to the label L * result + (1 - L) * Stockfish's
//       score as a probability (default L 0: Stockfish's score alone played
//       best), plus A times the squared distances from the start (default
//       1e-9), plus B times the squared differences of neighbouring cells
//       (default 0); cells with fewer than N pieces (default 100) are not
//       fitted: they keep their start, or with --fill take their fitted
//       neighbours' values; every tenth game is held out; writes the six
//       files into the out directory (default Data)
//   talvoran-tune coverage IN [--min N]
//       counts the pieces of IN's training positions on every cell, as the
//       fit sees them: a board of counts per kind and half, then the cells
//       seen fewer than N times (default 100: the fit leaves those alone)
#include "frontend/Interface.h"
#include "movegen/GeneratorF.h"
#include "movegen/MoveStore.h"
#include "platform/Platform.h"
#include "search/TreeRoot.h"
#include "tools/tune/Tuner.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

// One line of the generator: "FEN; result R; score S; ply P; best M; game G".
struct LabelledLine {
    std::string Fen;
    double Result = 0;
    bool Mate = false;
    int Score = 0;
    int Ply = 0;
    std::string Best;
    long Game = 0;
};

static bool ParseLine(const std::string& line, LabelledLine& out)
{
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        size_t end = line.find(';', start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (fields.size() != 6)
        return false;
    out.Fen = fields[0];
    for (size_t i = 1; i < fields.size(); i++) {
        std::istringstream stream(fields[i]);
        std::vector<std::string> words{std::istream_iterator<std::string>(stream), {}};
        if (words.size() < 2)
            return false;
        const std::string& name = words[0];
        const std::string& last = words.back();
        if (name == "result")
            out.Result = std::atof(last.c_str());
        else if (name == "score")
            out.Mate = words[1] == "mate", out.Score = std::atoi(last.c_str());
        else if (name == "ply")
            out.Ply = std::atoi(last.c_str());
        else if (name == "best")
            out.Best = last;
        else if (name == "game")
            out.Game = std::atol(last.c_str());
    }
    return true;
}

// A capture or promotion leaves the position's static score behind: such a
// best move is one of those the capture generator writes.
static bool IsTacticalMove(const Position& pos, const std::string& move)
{
    int end = GenerateCaptures(pos, 0);
    return (MovesToText(MoveList, 0, end - 1) + ' ').find(' ' + move + ' ') != std::string::npos;
}

// Loads the material tables, so that what counts as quiet does not depend on
// the files in Data/ at the time.
static bool LoadMaterialTables()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "talvoran-tune-material";
    std::filesystem::create_directories(folder);
    bool written = WriteTables(MaterialTables(), folder.string());
    if (written)
        LoadTables(folder.string());
    std::filesystem::remove_all(folder);
    return written;
}

static int Filter(const std::string& in, const std::string& out, int skipPlies)
{
    if (!LoadMaterialTables()) {
        std::cerr << "cannot write the material tables into the temporary folder\n";
        return 1;
    }
    std::ifstream source(in);
    std::ofstream target(out);
    if (!source || !target) {
        std::cerr << "cannot open " << (!source ? in : out) << "\n";
        return 1;
    }
    long read = 0, kept = 0, broken = 0, mates = 0, early = 0, tactical = 0, restless = 0;
    std::string line;
    Position pos;
    while (std::getline(source, line)) {
        read++;
        LabelledLine labelled;
        if (!ParseLine(line, labelled) || !SetUpFen(labelled.Fen, pos))
            broken++;
        else if (labelled.Mate)
            mates++;
        else if (labelled.Ply < skipPlies)
            early++;
        else if (IsTacticalMove(pos, labelled.Best))
            tactical++;
        else if (!IsQuietPosition(pos))
            restless++;
        else {
            target << line << '\n';
            kept++;
        }
    }
    std::printf("read %ld, kept %ld; dropped: %ld unreadable, %ld mate scores, %ld early, %ld captures or "
                "promotions, %ld in check or not quiet\n",
                read, kept, broken, mates, early, tactical, restless);
    return 0;
}

// Reads the positions of a labelled file that the fit would use, split as
// the fit splits them (every tenth game held out); false if it cannot open it.
static bool ReadPositions(const std::string& in, double lambda, std::vector<TunePosition>& training,
                          std::vector<TunePosition>& heldOut)
{
    std::ifstream source(in);
    if (!source) {
        std::cerr << "cannot open " << in << "\n";
        return false;
    }
    std::string line;
    Position pos;
    while (std::getline(source, line)) {
        LabelledLine labelled;
        if (!ParseLine(line, labelled) || labelled.Mate || !SetUpFen(labelled.Fen, pos))
            continue;
        TunePosition position = PositionCells(pos);
        position.Target = static_cast<float>(lambda * labelled.Result +
                                             (1 - lambda) * WinProbability(1.0, labelled.Score));
        (labelled.Game % 10 == 9 ? heldOut : training).push_back(position);
    }
    return true;
}

static int Fit(const std::string& in, double lambda, const TuneSettings& settings, const std::string& from,
               const std::string& out)
{
    std::vector<TunePosition> training, heldOut;
    if (!ReadPositions(in, lambda, training, heldOut))
        return 1;
    TuneTables tables = MaterialTables();
    if (!from.empty()) {
        LoadTables(from);
        tables = LoadedTables();
    }
    double k = FitScale(training, tables);
    std::printf("%zu training and %zu held-out positions; lambda %.2f; K %.4f; error %.6f / %.6f\n",
                training.size(), heldOut.size(), lambda, k, MeanError(training, tables, k),
                MeanError(heldOut, tables, k));
    std::fflush(stdout);
    FitTables(training, heldOut, tables, k, settings, std::cout);
    std::printf("rounded: training %.6f  held-out %.6f\n", MeanError(training, tables, k),
                MeanError(heldOut, tables, k));
    if (!WriteTables(tables, out)) {
        std::cerr << "cannot write the tables into " << out << "\n";
        return 1;
    }
    return 0;
}

// Prints the fit's count of training pieces on every cell, and the cells
// with fewer than least.
static int Coverage(const std::string& in, int least)
{
    static const char* const kinds[6] = {"pawn", "knight", "bishop", "rook", "queen", "king"};
    static const char* const halves[2] = {"middle game", "endgame"};
    std::vector<TunePosition> training, heldOut;
    if (!ReadPositions(in, 0, training, heldOut))
        return 1;
    const std::vector<int> counts = CellCounts(training);
    std::printf("%zu training positions\n", training.size());
    for (int kind = 0; kind < 6; kind++)
        for (int half = 0; half < 2; half++) {
            std::printf("%s, %s (rank 8 first)\n", kinds[kind], halves[half]);
            for (int rank = 0; rank < 8; rank++)
                for (int file = 0; file < 8; file++)
                    std::printf(file == 7 ? "%8d\n" : "%8d", counts[kind * 128 + rank * 16 + half * 8 + file]);
        }
    int sparse = 0;
    std::printf("cells seen fewer than %d times (pawns on ranks 1 and 8 left out):\n", least);
    for (int kind = 0; kind < 6; kind++)
        for (int n = 0; n < 128; n++) {
            if (counts[kind * 128 + n] >= least || (kind == 0 && (n / 16 == 0 || n / 16 == 7)))
                continue;
            sparse++;
            std::printf("  %s %s %c%d: %d\n", kinds[kind], halves[n % 16 / 8], 'a' + n % 8, 8 - n / 16,
                        counts[kind * 128 + n]);
        }
    std::printf("%d cells in all\n", sparse);
    return 0;
}

static int Usage()
{
    std::fprintf(stderr, "usage: talvoran-tune filter IN OUT [--skip-plies N]\n"
                         "       talvoran-tune fit IN [--lambda L] [--passes N] [--rate R] [--seed S] "
                         "[--ridge A] [--smooth B] [--min N] [--fill] [--from DIR] [--out DIR]\n"
                         "       talvoran-tune coverage IN [--min N]\n");
    return 2;
}

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2)
        return Usage();
    int skipPlies = 8, least = 100;
    double lambda = 0;
    TuneSettings settings;
    std::string from, out = "Data";
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); i++) {
        const std::string& a = args[i];
        bool valued = a.rfind("--", 0) == 0 && a != "--fill";
        if (valued && i + 1 >= args.size())
            return Usage();
        if (a == "--skip-plies")
            skipPlies = std::atoi(args[++i].c_str());
        else if (a == "--min")
            least = settings.MinimumCount = std::atoi(args[++i].c_str());
        else if (a == "--lambda")
            lambda = std::atof(args[++i].c_str());
        else if (a == "--passes")
            settings.Passes = std::atoi(args[++i].c_str());
        else if (a == "--rate")
            settings.Rate = std::atof(args[++i].c_str()), settings.FinalRate = settings.Rate / 10;
        else if (a == "--ridge")
            settings.Ridge = std::atof(args[++i].c_str());
        else if (a == "--smooth")
            settings.Smooth = std::atof(args[++i].c_str());
        else if (a == "--seed")
            settings.Seed = std::strtoull(args[++i].c_str(), nullptr, 10);
        else if (a == "--fill")
            settings.Fill = true;
        else if (a == "--from")
            from = args[++i];
        else if (a == "--out")
            out = args[++i];
        else if (valued)
            return Usage();
        else
            files.push_back(a);
    }
    StartPlatform();
    LoadTablesOnce();
    if (args[0] == "filter" && files.size() == 2)
        return Filter(files[0], files[1], skipPlies);
    if (args[0] == "fit" && files.size() == 1)
        return Fit(files[0], lambda, settings, from, out);
    if (args[0] == "coverage" && files.size() == 1)
        return Coverage(files[0], least);
    return Usage();
}
