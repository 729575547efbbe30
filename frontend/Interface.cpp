// The UCI command dispatcher: one input line per call, cut into words, the
// first word that names a command allowed in the mode selects it. Also the
// one-time loading of tables and data files, the go handler and the idle loop.
#include "frontend/Interface.h"

#include "board/DataFiles.h"
#include "board/Initialize.h"
#include "board/Mapper.h"
#include "frontend/Channel.h"
#include "frontend/Decript.h"
#include "platform/Platform.h"
#include "search/HashTable.h"
#include "search/TreeRoot.h"

bool TablesLoaded = false;
bool StopRequested = false;
bool NoTimeLimit = false;

namespace {

enum class Command { None, Quit, IsReady, Uci, SetOption, Position, Go, PonderHit, Stop };

struct CommandEntry {
    const char* Word;
    Command Action;
    bool InIdle;    // acted on from the idle loop
    bool InSearch;  // acted on while a search runs
};

// Tried in this order for every word of a line; matching is exact.
const CommandEntry Commands[] = {
    {"quit", Command::Quit, true, true},
    {"isready", Command::IsReady, true, true},
    {"uci", Command::Uci, true, false},
    {"setoption", Command::SetOption, true, false},
    {"position", Command::Position, true, false},
    {"go", Command::Go, true, false},
    {"ponderhit", Command::PonderHit, false, true},
    {"stop", Command::Stop, false, true},
};

}  // namespace

// True for backspace, tab, line feed, vertical tab, form feed, CR and blank.
bool IsBlank(int code)
{
    return (code >= 8 && code <= 13) || code == 32;
}

// The first run of non-blank characters; empty when the text has none.
std::string FirstWord(const std::string& text)
{
    size_t start = 0;
    while (start < text.size() && IsBlank(static_cast<unsigned char>(text[start])))
        start++;
    size_t end = start;
    while (end < text.size() && !IsBlank(static_cast<unsigned char>(text[end])))
        end++;
    return text.substr(start, end - start);
}

// Always at least one word: an empty line gives one empty word, and two
// blanks in a row leave an empty word between them.
std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    size_t start = 0;
    for (;;) {
        size_t blank = line.find(' ', start);
        words.push_back(FirstWord(line.substr(start, blank - start)));
        if (blank == std::string::npos)
            return words;
        start = blank + 1;
    }
}

// The static tables first, then the hash table (the keys are masked with its
// HashMask as they load), then the keys and the six piece-square files.
void PrepareEngine()
{
    InitConstantTables();
    std::string dataDirectory = WorkingDirectory() + PathSeparator + "Data" + PathSeparator;
    CreateHashTable(dataDirectory + "Hashtable.ini");
    LoadRandomKeys(dataDirectory + "Random.bin");
    for (int kind = Pawn; kind <= King; kind++)
        LoadPieceSquare(dataDirectory + PieceSquareFiles[kind], kind);
}

// PrepareEngine the first time only; the flag is set before loading starts.
void LoadTablesOnce()
{
    if (TablesLoaded)
        return;
    TablesLoaded = true;
    PrepareEngine();
}

// The command that word names if it is allowed in the mode, else None.
static Command FindCommand(const std::string& word, int mode)
{
    for (const CommandEntry& entry : Commands) {
        bool allowed = mode == IdleMode ? entry.InIdle : entry.InSearch;
        if (allowed && word == entry.Word)
            return entry.Action;
    }
    return Command::None;
}

// Searches the last accepted position and replies with the best move. Before
// any position was accepted there is nothing to search: "bestmove 0000".
static void RunSearch(const WordList& words, int first, int last)
{
    StopRequested = false;
    DecodeGo(words, first, last);
    if (!LastAccepted.Valid) {
        WriteReply("bestmove 0000");
        return;
    }
    Position pos = BuildPosition(LastAccepted.Board, LastAccepted.Castling, LastAccepted.EnPassant,
                                 LastAccepted.Halfmoves, LastAccepted.Side);
    std::string move = SearchRoot(pos);
    WriteReply("bestmove" + move);
}

// Logs END and ends the process; also used when the input has ended.
[[noreturn]] static void EndEngine()
{
    LogLine(EndLabel, LocalDateText());
    EndProcess();
}

// Carries out one selected command; first..last are the words after it.
static void RunCommand(Command command, const WordList& words, int first, int last)
{
    switch (command) {
    case Command::Quit: EndEngine();
    case Command::IsReady:
        LoadTablesOnce();
        WriteReply("readyok");
        break;
    case Command::Uci:
        WriteReply("id name Talvoran 101 C null");
        WriteReply("id author Ornel Tavask");
        WriteReply("uciok");
        break;
    case Command::SetOption: LoadTablesOnce(); break;
    case Command::Position:
        LoadTablesOnce();
        if (DecodePosition(words, first, last))
            WriteReply("info string Error: absurd position or move");
        break;
    case Command::Go:
        LoadTablesOnce();
        RunSearch(words, first, last);
        break;
    case Command::PonderHit: NoTimeLimit = false; break;
    case Command::Stop: StopRequested = true; break;
    case Command::None: break;
    }
}

// Takes one line, logs it, and runs the first command of the line that the
// mode allows; a line without one has no effect beyond its log line.
void DispatchCommand(int mode)
{
    std::string line = TakeCommandLine();
    LogLine(InLabel, line);
    WordList words = SplitWords(line);
    int last = static_cast<int>(words.size()) - 1;
    for (int k = 0; k <= last; k++) {
        Command command = FindCommand(words[k], mode);
        if (command != Command::None) {
            RunCommand(command, words, k + 1, last);
            return;
        }
    }
}

// One whole waiting line, in search mode. Nobody could stop a pondering or
// infinite search whose input has ended (the GUI is gone): it stops as if
// told to. A timed search ends on its clock as usual.
void PollSearchInput()
{
    if (ReadInput())
        DispatchCommand(SearchMode);
    else if (NoTimeLimit && InputHasEnded())
        StopRequested = true;
}

// The idle loop, one line per cycle: each cycle waits up to IdleWait for
// input, so that an idle engine does not spin, but takes a line the moment
// it is there. Once the input has ended and every line of it is served, the
// engine ends as on quit.
[[noreturn]] void RunEngine()
{
    InputBuffer.reserve(2 * 4096);
    for (;;) {
        if (AwaitInput(IdleWait))
            DispatchCommand(IdleMode);
        else if (InputHasEnded())
            EndEngine();
    }
}
