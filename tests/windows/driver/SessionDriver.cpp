// The Windows session check: plays UCI sessions with talvoran.exe through
// anonymous pipes, as a Windows GUI does, and checks replies and line ends,
// searches, the protocol log, the line-feed build and the missing-file boxes.
// Usage: driver ENGINE.exe ENGINE-LF.exe WORKDIR (WORKDIR holds Data\), or
// driver --latency ENGINE.exe WORKDIR TRIES MOVES for tools/latency/latency.py.
#include "EngineProcess.h"
#include "Latency.h"

#include <cstdio>
#include <cstdlib>

namespace {

const std::string Identification = "id name Talvoran 101 C null";
const std::string Author = "id author Ornel Tavask";
const std::string AbsurdPosition = "info string Error: absurd position or move";
const char* const DataFiles[] = {"Hashtable.ini", "Random.bin", "Pawn.txt", "Knight.txt",
                                 "Bishop.txt", "Rook.txt", "Queen.txt", "King.txt"};

int Passed = 0;
int Failed = 0;

// Records and prints the outcome of one check.
void Check(bool condition, const std::string& what)
{
    std::printf("%s: %s\n", condition ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    (condition ? Passed : Failed)++;
}

// True for UCI move text: two squares and an optional promotion letter.
bool IsMoveText(const std::string& move)
{
    if (move.size() != 4 && !(move.size() == 5 && std::string("qrbn").find(move[4]) != std::string::npos))
        return false;
    for (int index = 0; index < 4; index += 2)
        if (move[index] < 'a' || move[index] > 'h' || move[index + 1] < '1' || move[index + 1] > '8')
            return false;
    return true;
}

// Waits for the best move: "bestmove", a blank and move text, with nothing
// but info lines before it since the last reply.
void CheckBestMove(Engine& engine, const std::string& what)
{
    std::string line;
    std::vector<std::string> before;
    bool found = WaitForLine(engine, "bestmove", &line, &before);
    bool onlyInfo = true;
    for (const std::string& earlier : before)
        onlyInfo = onlyInfo && earlier.compare(0, 5, "info ") == 0;
    Check(found && onlyInfo && line.size() > 9 && line[8] == ' ' && IsMoveText(line.substr(9)),
          what + ": " + (found ? line : "no best move"));
}

// The handshake: a CR LF terminated uci, then isready; replies byte-exact.
void CheckHandshake(Engine& engine)
{
    Send(engine, "uci\r\n");
    bool uciok = WaitForLine(engine, "uciok");
    Check(uciok && engine.Output == Identification + "\r" + Author + "\ruciok\r",
          "uci is answered by the two id lines and uciok, each ended by a lone CR");
    Send(engine, "isready\n");
    size_t from = engine.Output.size();
    bool ready = WaitForLine(engine, "readyok");
    Check(ready && engine.Output.substr(from) == "readyok\r", "isready loads the data and answers readyok");
}

// Searches: one under clock times, one infinite that still serves isready and
// ends on stop, one pondering that ends on ponderhit; then a refused position.
void CheckSearches(Engine& engine)
{
    Send(engine, "position startpos moves e2e4 e7e5\n");
    Send(engine, "go wtime 2000 btime 2000 winc 0 binc 0\n");
    CheckBestMove(engine, "go with clock times ends by itself");

    Send(engine, "position startpos\n");
    Send(engine, "go infinite\n");
    Check(WaitForLine(engine, "info depth 2"), "go infinite searches");
    Send(engine, "isready\n");
    std::vector<std::string> before;
    bool ready = WaitForLine(engine, "readyok", nullptr, &before);
    bool noBestMove = true;
    for (const std::string& line : before)
        noBestMove = noBestMove && line.compare(0, 8, "bestmove") != 0;
    Check(ready && noBestMove, "isready is answered during the search, which goes on");
    Send(engine, "stop\n");
    CheckBestMove(engine, "stop ends go infinite");

    Send(engine, "position startpos moves e2e4\n");
    Send(engine, "go ponder wtime 1000 btime 1000\n");
    Check(WaitForLine(engine, "info depth 2"), "go ponder searches");
    Send(engine, "ponderhit\n");
    CheckBestMove(engine, "ponderhit lets the clock end the search");

    Send(engine, "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq\n");
    Send(engine, "isready\n");
    std::string line;
    bool answered = NextLine(engine, line);
    Check(answered && line == AbsurdPosition, "a FEN without its clocks is refused: " + line);
    Check(WaitForLine(engine, "readyok"), "the engine goes on after a refused position");
}

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path)
{
    std::string content;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t count;
        while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            content.append(chunk, count);
        std::fclose(file);
    }
    return content;
}

// The log's lines without their CR LF; text after the last CR LF is kept with
// a marker, so that a missing line end shows in the checks.
std::vector<std::string> LogLines(const std::string& path)
{
    std::string content = ReadWholeFile(path);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(content.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The payloads of the log lines with the label, in order. A line with the
// label must have a time of day in front of it.
std::vector<std::string> LogPayloads(const std::vector<std::string>& lines, const std::string& label)
{
    std::vector<std::string> payloads;
    for (const std::string& line : lines) {
        size_t at = line.find(label);
        if (at == std::string::npos)
            continue;
        payloads.push_back(at > 0 ? line.substr(at + label.size()) : "<no time of day>");
    }
    return payloads;
}

// Today's date in the user's short format, as the engine logs it.
std::string ShortDate()
{
    char text[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, sizeof text);
    return text;
}

// The log of a session: START and END with the date, every input line in
// order (the empty one after a CR LF too), and as OUT lines exactly the
// replies that are not search output, each with its CR.
void CheckLog(const std::string& path, const std::vector<std::string>& input, const std::string& output)
{
    std::vector<std::string> lines = LogLines(path);
    std::vector<std::string> starts = LogPayloads(lines, "   START:   ");
    std::vector<std::string> ends = LogPayloads(lines, "   END:     ");
    Check(!lines.empty() && starts.size() == 1 && lines.front().find("   START:   ") != std::string::npos &&
              starts[0] == ShortDate(), "the log starts with START and the date");
    Check(ends.size() == 1 && lines.back().find("   END:     ") != std::string::npos && ends[0] == ShortDate(),
          "the log ends with END and the date");
    Check(LogPayloads(lines, "   IN:      ") == input, "every input line is logged as IN, in order");

    std::vector<std::string> replies;
    for (size_t start = 0, end; (end = output.find('\r', start)) != std::string::npos; start = end + 1) {
        std::string line = output.substr(start, end + 1 - start);
        if (line.compare(0, 5, "info ") != 0 || line.compare(0, 12, "info string ") == 0)
            replies.push_back(line);
    }
    Check(LogPayloads(lines, "   OUT:     ") == replies,
          "the replies, and no search output, are logged as OUT with their CR");
}

// A whole GUI session in the directory with the data files, then its log.
void CheckGuiSession(const std::string& program, const std::string& directory)
{
    std::printf("-- talvoran.exe through anonymous pipes in %s\n", directory.c_str());
    Engine engine;
    if (!StartEngine(engine, program, directory)) {
        Check(false, "talvoran.exe starts");
        return;
    }
    CheckHandshake(engine);
    CheckSearches(engine);
    Send(engine, "quit\n");
    DWORD code = 1;
    Check(WaitForExit(engine, code) && code == 0, "quit ends the process with status 0");
    Collect(engine);
    Check(!engine.Output.empty() && engine.Output.find('\n') == std::string::npos && engine.Output.back() == '\r',
          "every line written ends with a lone CR, no line feed anywhere");
    CloseEngine(engine);

    std::vector<std::string> input = {"uci", "", "isready", "position startpos moves e2e4 e7e5",
        "go wtime 2000 btime 2000 winc 0 binc 0", "position startpos", "go infinite", "isready", "stop",
        "position startpos moves e2e4", "go ponder wtime 1000 btime 1000", "ponderhit",
        "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq", "isready", "quit"};
    CheckLog(directory + "\\spynull.txt", input, engine.Output);
}

// The line-feed build ends its lines with LF. Its start truncates the log; a
// last command without a line end is still served, and once the GUI closes
// the pipe the engine ends as on quit.
void CheckLineFeedBuild(const std::string& program, const std::string& directory)
{
    std::printf("-- talvoran-lf.exe in %s\n", directory.c_str());
    Engine engine;
    if (!StartEngine(engine, program, directory)) {
        Check(false, "talvoran-lf.exe starts");
        return;
    }
    Send(engine, "uci\n");
    bool uciok = WaitForLine(engine, "uciok");
    Check(uciok && engine.Output == Identification + "\n" + Author + "\nuciok\n",
          "the line-feed build ends each line with a lone LF");
    Send(engine, "isready");
    CloseInput(engine);
    Check(WaitForLine(engine, "readyok"), "a last line without a line end is served");
    DWORD code = 1;
    Check(WaitForExit(engine, code) && code == 0, "the engine ends once its input is closed");
    CloseEngine(engine);
    std::vector<std::string> lines = LogLines(directory + "\\spynull.txt");
    Check(LogPayloads(lines, "   IN:      ") == std::vector<std::string>{"uci", "isready"} &&
              LogPayloads(lines, "   START:   ").size() == 1 && LogPayloads(lines, "   END:     ").size() == 1,
          "a new start leaves only its own session in the log, closed by END");
}

// Without a Data folder the first isready shows one box per data file, in
// loading order; once each is answered the engine goes on and still plays.
void CheckMissingDataFiles(const std::string& program, const std::string& directory)
{
    std::printf("-- talvoran.exe without data files in %s\n", directory.c_str());
    CreateDirectoryA(directory.c_str(), nullptr);
    Engine engine;
    if (!StartEngine(engine, program, directory)) {
        Check(false, "talvoran.exe starts");
        return;
    }
    Send(engine, "uci\n");
    Check(WaitForLine(engine, "uciok"), "uci needs no data files");
    Send(engine, "isready\n");
    for (const char* file : DataFiles) {
        Notice notice;
        std::string expected = directory + "\\Data\\" + file + " not found";
        bool answered = AnswerNotice(engine, notice);
        Check(answered && notice.Title == "Error" && notice.Text == expected &&
                  notice.Buttons == std::vector<std::string>{"OK"},
              "message box \"" + notice.Title + "\": \"" + notice.Text + "\" with OK");
        if (!answered)
            break;
    }
    Check(WaitForLine(engine, "readyok"), "readyok follows once the boxes are answered");
    Send(engine, "position startpos\n");
    Send(engine, "go wtime 1000 btime 1000\n");
    CheckBestMove(engine, "the engine still searches without data files");
    Send(engine, "quit\n");
    DWORD code = 1;
    Check(WaitForExit(engine, code) && code == 0, "quit ends the process with status 0");
    CloseEngine(engine);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::string(argv[1]) == "--latency")
        return MeasureLatency(argv[2], argv[3], std::atoi(argv[4]), argv[5]);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ENGINE.exe ENGINE-LF.exe WORKDIR\n", argv[0]);
        return 2;
    }
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(argv[3], MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        std::fprintf(stderr, "cannot resolve %s\n", argv[3]);
        return 2;
    }
    std::string directory = full;
    if (directory.back() == '\\')
        directory.pop_back();

    CheckGuiSession(argv[1], directory);
    CheckLineFeedBuild(argv[2], directory);
    CheckMissingDataFiles(argv[1], directory + "\\bare");
    std::printf("session: %d passed, %d failed\n", Passed, Failed);
    return Failed == 0 ? 0 : 1;
}
