// Starting talvoran.exe with anonymous pipes, the line-by-line exchange with
// it, and the reading and answering of its message boxes from outside.
#include "EngineProcess.h"

constexpr int MessageTextId = 0xFFFF;  // the text control of a message box

bool StartEngine(Engine& engine, const std::string& program, const std::string& directory)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInput = nullptr, childOutput = nullptr;
    if (!CreatePipe(&childInput, &engine.ToEngine, &inherit, 0))
        return false;
    if (!CreatePipe(&engine.FromEngine, &childOutput, &inherit, 0)) {
        CloseHandle(childInput);
        return false;
    }
    // only the child's ends are inherited, or its input would never end
    SetHandleInformation(engine.ToEngine, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(engine.FromEngine, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string commandLine = "\"" + program + "\"";
    BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW, nullptr, directory.c_str(), &startup, &engine.Process);
    CloseHandle(childInput);
    CloseHandle(childOutput);
    return started != FALSE;
}

void Send(Engine& engine, const std::string& text)
{
    DWORD written = 0;
    WriteFile(engine.ToEngine, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Collect(Engine& engine)
{
    DWORD waiting = 0;
    while (PeekNamedPipe(engine.FromEngine, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        char chunk[4096];
        DWORD count = 0;
        if (!ReadFile(engine.FromEngine, chunk, waiting < sizeof chunk ? waiting : sizeof chunk, &count, nullptr))
            return;
        engine.Output.append(chunk, count);
    }
}

bool NextLine(Engine& engine, std::string& line)
{
    ULONGLONG deadline = GetTickCount64() + ReplyWait;
    for (;;) {
        Collect(engine);
        size_t end = engine.Output.find_first_of("\r\n", engine.Taken);
        if (end != std::string::npos) {
            line = engine.Output.substr(engine.Taken, end - engine.Taken);
            engine.Taken = end + 1;
            return true;
        }
        if (GetTickCount64() > deadline)
            return false;
        Sleep(5);
    }
}

bool WaitForLine(Engine& engine, const std::string& prefix, std::string* found, std::vector<std::string>* skipped)
{
    std::string line;
    while (NextLine(engine, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            if (found != nullptr)
                *found = line;
            return true;
        }
        if (skipped != nullptr)
            skipped->push_back(line);
    }
    return false;
}

bool WaitForExit(Engine& engine, DWORD& code)
{
    if (WaitForSingleObject(engine.Process.hProcess, ReplyWait) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(engine.Process.hProcess, &code) != FALSE;
}

void CloseInput(Engine& engine)
{
    if (engine.ToEngine != nullptr)
        CloseHandle(engine.ToEngine);
    engine.ToEngine = nullptr;
}

void CloseEngine(Engine& engine)
{
    if (WaitForSingleObject(engine.Process.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(engine.Process.hProcess, 1);
    CloseHandle(engine.Process.hProcess);
    CloseHandle(engine.Process.hThread);
    CloseInput(engine);
    CloseHandle(engine.FromEngine);
}

// The window's text; works across processes.
static std::string WindowText(HWND window)
{
    char text[1024];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

// A visible top-level dialog window of the process, or null; a box counts
// once it is shown, when its controls are complete.
static HWND FindDialogOf(DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// Reads title, text and button captions of an open message box.
static void ReadNotice(HWND box, Notice& notice)
{
    notice.Title = WindowText(box);
    char text[1024] = {};
    GetDlgItemTextA(box, MessageTextId, text, sizeof text);
    notice.Text = text;
    notice.Buttons.clear();
    for (HWND child = FindWindowExA(box, nullptr, "Button", nullptr); child != nullptr;
         child = FindWindowExA(box, child, "Button", nullptr))
        if (IsWindowVisible(child))
            notice.Buttons.push_back(WindowText(child));
}

bool AnswerNotice(Engine& engine, Notice& notice)
{
    ULONGLONG deadline = GetTickCount64() + ReplyWait;
    HWND box = nullptr;
    while ((box = FindDialogOf(engine.Process.dwProcessId)) == nullptr) {
        if (GetTickCount64() > deadline || WaitForSingleObject(engine.Process.hProcess, 0) == WAIT_OBJECT_0)
            return false;
        Sleep(10);
    }
    ReadNotice(box, notice);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    while (IsWindow(box)) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(5);
    }
    return true;
}
