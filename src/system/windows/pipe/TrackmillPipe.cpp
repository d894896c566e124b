// trackmill-pipe.exe: what /bin/sh does for a file's script on Linux, without a command
// processor that would read a path's "%", "^" or "&" as code. The script names five
// things, one a line: the decoder's command line, the encoder's, the file for the
// decoder's error output, the file for its exit status and the source. The source is the
// decoder's standard input, a file we open by its wide name: decoders as people find
// them read their arguments in the ANSI code page, which cannot hold every name, and
// they seek in the source, which a pipe would not allow. The decoder's standard output
// is piped into the encoder's standard input; the encoder writes to our own output. We
// end with the encoder's status. Everything started here is in our job: ending the job
// ends it all.
#include "os/windows/Wide.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using trackmill::os::Narrow;
using trackmill::os::Wide;

constexpr DWORD kNotStarted = 127;
// The decoder lost its reader: the encoder's fault, as SIGPIPE says on Linux.
constexpr DWORD kLostReader = 128 + 13;

// The first word of a command line, read as the program reading it would.
std::wstring FirstWord(const std::wstring &line)
{
    int count = 0;
    LPWSTR *words = ::CommandLineToArgvW(line.c_str(), &count);
    std::wstring first = words && count > 0 ? words[0] : L"";
    if (words) ::LocalFree(words);
    return first;
}

// A quoted path, read as an argument after the program's name.
std::wstring Argument(const std::wstring &quoted)
{
    int count = 0;
    LPWSTR *words = ::CommandLineToArgvW((L"x " + quoted).c_str(), &count);
    std::wstring word = words && count > 1 ? words[1] : L"";
    if (words) ::LocalFree(words);
    return word;
}

std::string SystemMessage(DWORD error)
{
    wchar_t *text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring message = text ? text : L"error " + std::to_wstring(error);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return Narrow(message);
}

void Write(HANDLE to, const std::string &text)
{
    DWORD put = 0;
    if (to && to != INVALID_HANDLE_VALUE) ::WriteFile(to, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
}

void Inherit(HANDLE h, bool on) { ::SetHandleInformation(h, HANDLE_FLAG_INHERIT, on ? HANDLE_FLAG_INHERIT : 0); }

HANDLE Start(const std::wstring &line, HANDLE in, HANDLE out, HANDLE err, DWORD &error)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION started{};
    std::wstring commandLine = line;
    const std::wstring program = FirstWord(line);
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &startup, &started)) {
        error = ::GetLastError();
        return nullptr;
    }
    ::CloseHandle(started.hThread);
    return started.hProcess;
}

// A program's exit status; 255 for the status of a crash (an NTSTATUS such as 0xC0000005),
// as a shell would give it.
DWORD ExitCodeOf(HANDLE process)
{
    DWORD code = 255;
    ::WaitForSingleObject(process, INFINITE);
    ::GetExitCodeProcess(process, &code);
    return code > 255 ? 255 : code;
}

}  // namespace

int main()
{
    const HANDLE ourOut = ::GetStdHandle(STD_OUTPUT_HANDLE);
    int argc = 0;
    LPWSTR *argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc != 2) {
        Write(ourOut, "trackmill-pipe: usage: trackmill-pipe SCRIPT\n");
        return 2;
    }
    const HANDLE scriptFile = ::CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string script;
    if (scriptFile != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(scriptFile, buffer, sizeof buffer, &got, nullptr) && got > 0) script.append(buffer, got);
        ::CloseHandle(scriptFile);
    }
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < script.size()) {
        std::size_t end = script.find('\n', start);
        if (end == std::string::npos) end = script.size();
        std::string line = script.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(Wide(line));
        start = end + 1;
    }
    if (lines.size() < 5) {
        Write(ourOut, "trackmill-pipe: the script does not name two commands and three files\n");
        return 2;
    }
    const std::wstring &decoderLine = lines[0], &encoderLine = lines[1];
    const std::wstring logPath = Argument(lines[2]), statusPath = Argument(lines[3]), sourcePath = Argument(lines[4]);

    SECURITY_ATTRIBUTES plain{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    // Shared as any reader shares it: a change meanwhile is found by the check afterwards.
    const HANDLE source = ::CreateFileW(sourcePath.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &plain,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        Write(ourOut, "trackmill-pipe: cannot open the source: " + SystemMessage(::GetLastError()) + "\n");
        return 2;
    }
    // In the private folder; a link there is replaced, never followed.
    const HANDLE log = ::CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &plain,
                                     CREATE_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    HANDLE pipeRead = nullptr, pipeWrite = nullptr;
    if (!::CreatePipe(&pipeRead, &pipeWrite, &plain, 0)) {
        Write(ourOut, "trackmill-pipe: cannot make a pipe: " + SystemMessage(::GetLastError()) + "\n");
        return 2;
    }

    // Each program holds only its own ends: a decoder holding the pipe's read end would
    // never learn that the encoder has gone.
    DWORD error = 0;
    Inherit(pipeWrite, true);
    Inherit(source, true);
    if (log != INVALID_HANDLE_VALUE) Inherit(log, true);
    const HANDLE decoder = Start(decoderLine, source, pipeWrite, log != INVALID_HANDLE_VALUE ? log : ourOut, error);
    if (!decoder)
        Write(log != INVALID_HANDLE_VALUE ? log : ourOut,
              "trackmill-pipe: cannot start " + Narrow(FirstWord(decoderLine)) + ": " + SystemMessage(error) + "\n");
    ::CloseHandle(pipeWrite);
    ::CloseHandle(source);
    if (log != INVALID_HANDLE_VALUE) ::CloseHandle(log);

    Inherit(pipeRead, true);
    const HANDLE encoder = Start(encoderLine, pipeRead, ourOut, ::GetStdHandle(STD_ERROR_HANDLE), error);
    if (!encoder)
        Write(ourOut, "trackmill-pipe: cannot start " + Narrow(FirstWord(encoderLine)) + ": " + SystemMessage(error) + "\n");
    ::CloseHandle(pipeRead);

    const DWORD encoderStatus = encoder ? ExitCodeOf(encoder) : kNotStarted;
    DWORD decoderStatus = kNotStarted;
    if (decoder) {
        const bool endedFirst = ::WaitForSingleObject(decoder, 0) == WAIT_OBJECT_0;
        decoderStatus = ExitCodeOf(decoder);
        if (decoderStatus != 0 && encoderStatus != 0 && !endedFirst) decoderStatus = kLostReader;
    }
    const HANDLE status =
        ::CreateFileW(statusPath.c_str(), GENERIC_WRITE, 0, &plain, CREATE_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (status != INVALID_HANDLE_VALUE) {
        Write(status, std::to_string(decoderStatus) + "\n");
        ::CloseHandle(status);
    }
    return static_cast<int>(encoderStatus);
}
