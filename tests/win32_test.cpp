// The replace and the game's start on Windows, through their real failure
// mechanisms. Run as an ordinary user: Wine run by root writes everywhere.
#include "tests/fixtures.h"

#include "platform/programstart.h"
#include "platform/win32/text.h"

#include <cstdlib>
#include <windows.h>

namespace {

std::optional<Failure> start()
{
    return startProgram("korvane.exe");
}

// The numbers the next new handles get: others, if an action kept one (Wine
// counts none), even above a free one it let go. A failed start leaves no
// program running, so only handles are looked at.
std::vector<HANDLE> nextHandles()
{
    std::vector<HANDLE> handles(16);
    for (HANDLE &handle : handles)
        handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    for (HANDLE handle : handles)
        CloseHandle(handle);
    return handles;
}

HANDLE opened(DWORD sharing)
{
    return CreateFileW(L"locale.ini", GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Made by the test's runner: Wine cannot take the right to write from a folder.
HANDLE inLockedFolder()
{
    const char *locked = std::getenv("KORVANE_LOCKED_FOLDER");
    return locked && SetCurrentDirectoryA(locked) && !std::ofstream("probe") ? nullptr : INVALID_HANDLE_VALUE;
}

} // namespace

TEST_CASE("each action, done or refused for its real cause, leaves nothing behind and the old file whole")
{
    TestFolder folder;
    const struct
    {
        const char *what;
        HANDLE (*setup)(); // what it holds open for the row; INVALID_HANDLE_VALUE where it cannot be made here
        std::optional<Failure> (*action)();
        DWORD number = 0; // 0: done
        Cause cause = Cause::None;
        const char *file = "locale.ini";
        bool (*kept)() = nullptr; // what else the row keeps
    } rows[] = {
        {"held by a program that lets others write", [] { return opened(FILE_SHARE_READ | FILE_SHARE_WRITE); }, replaced},
        {"held by a program that does not", [] { return opened(FILE_SHARE_READ); }, replaced, ERROR_SHARING_VIOLATION, Cause::InUse},
        {"read-only, named by its whole path, in a folder below", [] {
             fs::create_directory("below"), put("below/locale.ini", old);
             return HANDLE(SetFileAttributesW(L"below/locale.ini", FILE_ATTRIBUTE_READONLY) ? nullptr : INVALID_HANDLE_VALUE);
         }, [] { return replaceFile(toUtf8(fs::absolute("below/locale.ini").wstring()), applied); },
         ERROR_ACCESS_DENIED, Cause::ReadOnly, "below/locale.ini"},
        {"hidden, beside a name that is taken", [] {
             put("locale.ini." + std::to_string(GetCurrentProcessId()) + "-0.new", "another program's");
             return HANDLE(SetFileAttributesW(L"locale.ini", FILE_ATTRIBUTE_HIDDEN) ? nullptr : INVALID_HANDLE_VALUE);
         }, replaced, 0, Cause::None, "locale.ini", [] { return bool(GetFileAttributesW(L"locale.ini") & FILE_ATTRIBUTE_HIDDEN); }},
        {"with a second name", [] { return HANDLE(CreateHardLinkW(L"other.ini", L"locale.ini", nullptr) ? nullptr : INVALID_HANDLE_VALUE); },
         replaced, 0, Cause::None, "locale.ini", [] { return contents("other.ini") == applied; }},
        {"in a folder that cannot be written: written where it is", inLockedFolder, replaced},
        {"none, in a folder that cannot be written", inLockedFolder, [] { return replaceFile("absent.ini", applied); },
         ERROR_ACCESS_DENIED, Cause::FolderLocked, "absent.ini"},
        {"korvane.exe, not a Windows program", [] { return put("korvane.exe", "\x7f" "ELF not a Windows program"), HANDLE(nullptr); },
         start, ERROR_BAD_EXE_FORMAT},
    };
    std::string notRun;
    for (const auto &row : rows) {
        const std::string what = row.what;
        CAPTURE(what);
        fs::current_path(folder.path);
        fs::create_directory(fs::u8path(what));
        fs::current_path(fs::u8path(what));
        put("locale.ini", old);
        const HANDLE held = row.setup();
        if (held == INVALID_HANDLE_VALUE) {
            notRun += "\n  " + what;
            continue;
        }
        // Whatever it did, nothing is left beside the file, no handle is kept,
        // and the file holds what the report says.
        const fs::path file = fs::absolute(row.file);
        const auto beside = entries(file.parent_path());
        const std::string before = contents(file);
        const auto handles = nextHandles();
        const auto outcome = row.action();
        CHECK(outcome == (row.number ? std::optional(Failure{int(row.number), row.cause, toUtf8(file.parent_path().wstring())}) : std::nullopt));
        CHECK(nextHandles() == handles);
        CHECK(entries(file.parent_path()) == beside);
        CHECK(contents(file) == heldAfter(outcome, before));
        if (row.kept)
            CHECK(row.kept());
        CloseHandle(held);
    }
    // A program started keeps none either: Windows' own, which does nothing without arguments.
    const auto handles = nextHandles();
    CHECK(startProgram("rundll32.exe") == std::nullopt);
    CHECK(nextHandles() == handles);
    if (!notRun.empty())
        MESSAGE((std::string("NOT RUN: no folder that this user cannot write (Wine run by root?), or no such file here:") + notRun));
}

TEST_CASE("a system text's inserts: the name for the first, and no more of the text")
{
    CHECK(fillInserts(L"%1 is not a valid Win32 application.%0 gone", L"korvane.exe")
          == L"korvane.exe is not a valid Win32 application.");
    // As the system has it: "%1 is not a valid Win32 application." or the like.
    const std::string invalid = systemText(ERROR_BAD_EXE_FORMAT, "korvane.exe");
    CHECK_MESSAGE((invalid.find("korvane.exe") != std::string::npos && invalid.find('%') == std::string::npos), invalid);
    // Inside a sentence: no full stop or line break of its own at the end.
    const std::string denied = systemText(ERROR_ACCESS_DENIED);
    CHECK_MESSAGE((!denied.empty() && std::string(". \r\n").find(denied.back()) == std::string::npos), denied);
}
