// What the unit tests share: a folder of their own, the bytes a file held and
// what Apply writes, and the file reads and writes that check them.
#pragma once

#include "platform/failure.h"
#include "platform/safefile.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// What the game's file held, and what Apply writes over it.
inline const std::string old = "[Display]\r\nWINDOWED =1\r\nRESOLUTION =640x480x16\r\nGAMMA =1.2\r\n";
inline const std::string applied = "WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n";

inline std::optional<Failure> replaced()
{
    return replaceFile("locale.ini", applied);
}

// What the file holds after an Apply that gave this report: the new bytes where
// none came, or only the folder's sync failed; the old ones where it was
// refused; nothing sure where it says it stopped part way through writing in place.
inline std::optional<std::string> heldAfter(const std::optional<Failure> &report, const std::string &before)
{
    if (report && report->cause == Cause::PartlyWritten)
        return std::nullopt;
    return !report || report->cause == Cause::MaybeNotOnDisk ? applied : before;
}

// A failure's fields, as a check shows them when they differ.
inline std::ostream &operator<<(std::ostream &out, const Failure &failure)
{
    return out << reportText("do", "it", failure);
}
template <>
struct doctest::StringMaker<std::optional<Failure>>
{
    static String convert(const std::optional<Failure> &failure) { return failure ? toString(*failure) : "no failure"; }
};

// A new empty folder, the current one for the length of a test. Its name is
// not ASCII, as a player's game folder may well be.
struct TestFolder
{
    fs::path previous = fs::current_path();
    fs::path path = fs::temp_directory_path() / fs::path(u8"Jeux d'\u00e9t\u00e9 \u2615 ")
                        .concat(std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));

    TestFolder() { fs::create_directory(path), fs::current_path(path); }
    ~TestFolder()
    {
        fs::current_path(previous);
        std::error_code ignored; // a link may point nowhere
        for (const auto &entry : fs::recursive_directory_iterator(path, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
};

inline std::string contents(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return in ? bytes.str() : "<missing>";
}

inline void put(const fs::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::vector<std::string> entries(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
