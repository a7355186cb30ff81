// The window's modes, the reports and the replace, on whichever platform this
// is built for; the scenarios check the file's exact bytes.
#include "tests/testfolder.h"

#include "app/rules.h"
#include "settings/displaymodes.h"
#include "settings/localeini.h"

TEST_CASE("Combo4 offers the ten modes in order, and Apply takes one only when shown exactly")
{
    const std::vector<std::string> modes(DisplayModeList.begin(), DisplayModeList.end());
    CHECK(Form1().controls[*controlIndex(Form1(), "Combo4")].items == modes);
    for (const std::string &shown : modes)
        CHECK(selectedDisplayMode(shown) == shown);
    for (const std::string shown : {"Select below.", "1024x768", "640X480X16", " 640x480x16"})
        CHECK(selectedDisplayMode(shown).empty());
}

TEST_CASE("a failure with no number from the system reads as what it is")
{
    const Failure failure = systemFailure(0, "cannot open the window");
    CHECK(reportText(failure) == "cannot open the window: the system gave no cause");
    CHECK(reportText(systemFailure(2, "cannot start \"korvane.exe\"")).find("Error 2: cannot start \"korvane.exe\": ") == 0);
}

TEST_CASE("locale.ini is replaced whole, or kept as it was")
{
    TestFolder folder;
    SUBCASE("other keys are gone, and nothing is left beside it")
    {
        put("locale.ini", old);
        REQUIRE_FALSE(writeLocaleIni({true, "1024x768x32"}));
        put("locale.ini", applied + "ADDED =1\r\n");
        REQUIRE_FALSE(writeLocaleIni({true, "1024x768x32"}));
        CHECK(contents("locale.ini") == applied);
        CHECK(entries(".") == std::vector<std::string>{"locale.ini"});
    }
    SUBCASE("in a folder whose name is not ASCII")
    {
        const fs::path game = u8"Jeux d'\u00e9t\u00e9 \u2615";
        fs::create_directory(game);
        fs::current_path(game);
        REQUIRE_FALSE(writeLocaleIni({false, "800x600x32"}));
        CHECK(contents("locale.ini").size() == 37);
    }
    SUBCASE("a read-only file, even where the system would let it be replaced")
    {
        put("locale.ini", old);
        fs::permissions("locale.ini", fs::perms::owner_read | fs::perms::group_read);
        const std::string report = reported(writeLocaleIni({true, "1024x768x32"}));
        CHECK(report.find(": cannot write \"locale.ini\"" + inFolder(currentFolder()) + ": ") != std::string::npos);
        CHECK(report.find("(the file is read-only)") != std::string::npos);
        CHECK(contents("locale.ini") == old);
    }
}
