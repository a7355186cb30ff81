// The replace and the game's start on Windows, through their real failure
// mechanisms. Run as an ordinary user: Wine run by root writes everywhere.
#include "tests/testfolder.h"

#include "platform/programstart.h"
#include "platform/win32/text.h"
#include "platform/safefile.h"

#include <cstdlib>
#include <windows.h>

namespace {

std::optional<Failure> write()
{
    return replaceFile("locale.ini", applied);
}

std::optional<Failure> start()
{
    return startProgram("korvane.exe");
}

} // namespace

TEST_CASE("a failure names the folder and the cause a person can act on, and keeps the old file")
{
    TestFolder folder;
    const std::string here = currentFolder();
    REQUIRE_FALSE(here.empty());
    put("locale.ini", old);

    SUBCASE("locale.ini held open by another program, until it lets go")
    {
        const HANDLE held = CreateFileW(L"locale.ini", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        REQUIRE(held != INVALID_HANDLE_VALUE);
        const auto failure = write();
        CloseHandle(held);
        REQUIRE(failure);
        CHECK((failure->cause == Cause::InUse && failure->folder == here));
        CHECK(contents("locale.ini") == old);
        CHECK_FALSE(write());
    }
    SUBCASE("a folder that cannot be written, though the file can")
    {
        // Made by the test's runner: Wine cannot take the right to write from a folder.
        const char *locked = std::getenv("KORVANE_LOCKED_FOLDER");
        if (locked)
            fs::current_path(locked);
        if (!locked || std::ofstream("probe")) {
            MESSAGE("no folder that this user cannot write (Wine run by root?); not checked");
            return;
        }
        const std::string before = contents("locale.ini");
        CHECK(write() == Failure{ERROR_ACCESS_DENIED, Cause::FolderLocked, currentFolder()});
        CHECK(contents("locale.ini") == before);
        CHECK(entries(".") == std::vector<std::string>{"locale.ini"});
    }
    SUBCASE("korvane.exe: missing, a folder, not a program")
    {
        CHECK(start() == Failure{ERROR_FILE_NOT_FOUND, Cause::None, here});
        fs::create_directory("korvane.exe");
        CHECK(start()->cause == Cause::Folder);
        fs::remove("korvane.exe");
        put("korvane.exe", "\x7f" "ELF not a Windows program at all");
        CHECK(start() == Failure{ERROR_BAD_EXE_FORMAT, Cause::None, here});
    }
}

TEST_CASE("a system text's inserts: the name for the first, a gap for any other, the rest kept")
{
    CHECK(fillInserts(L"%1 is not a valid Win32 application.%0 gone", L"korvane.exe")
          == L"korvane.exe is not a valid Win32 application.");
    CHECK(fillInserts(L"Move %1!s! to %2, %12 or %3!d!: 50%% done.%n", L"")
          == L"Move the file to (unknown), (unknown) or (unknown): 50% done. ");
    CHECK(fillInserts(L"%1!unclosed, and the rest %", L"a") == L"a!unclosed, and the rest %");
    // As the system has it: "%1 is not a valid Win32 application." or the like.
    const std::string invalid = systemText(ERROR_BAD_EXE_FORMAT, "korvane.exe");
    CHECK_MESSAGE((invalid.find("korvane.exe") != std::string::npos && invalid.find('%') == std::string::npos), invalid);
    // Inside a sentence: no full stop or line break of its own at the end.
    CHECK(std::string(". \r\n").find(systemText(ERROR_ACCESS_DENIED).back()) == std::string::npos);
}

#include "platform/win32/density.h"

TEST_CASE("the system font's metrics asked for in the size that the Windows running takes")
{
    CHECK(metricsSize(5) == 500); // XP, which refuses Vista's size
    CHECK(metricsSize(6) == 504); // Vista and 7
    CHECK(metricsSize(10) == 504);
}
