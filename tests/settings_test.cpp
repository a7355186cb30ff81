// The window's modes, the reports and the replace, on whichever platform this
// is built for; the scenarios check the file's exact bytes.
#include "tests/testfolder.h"

#include "app/rules.h"
#include "settings/displaymodes.h"
#include "platform/safefile.h"
#include "settings/localeini.h"

TEST_CASE("Apply takes a mode only when Combo4 shows it exactly")
{
    for (const std::string shown : DisplayModeList)
        CHECK(selectedDisplayMode(shown) == shown);
    for (const std::string shown : {"Select below.", "1024x768", "640X480X16", " 640x480x16"})
        CHECK(selectedDisplayMode(shown).empty());
}

TEST_CASE("a report names the action, the folder, the system's words and the cause, from the failure alone")
{
    const Failure none{0, Cause::None, ""};
    CHECK(reportText("open the window", "", none) == "cannot open the window: the system gave no cause");
    const Failure held{2, Cause::InUse, "/games/k"};
    CHECK(reportText("write", "locale.ini", held)
          == "Error 2: cannot write \"locale.ini\" in /games/k: " + systemText(2)
                 + " (the file is in use by another program, perhaps the game)");
}

TEST_CASE("locale.ini is written in a folder whose name is not ASCII")
{
    TestFolder folder;
    const fs::path game = u8"Jeux d'\u00e9t\u00e9 \u2615";
    fs::create_directory(game);
    fs::current_path(game);
    REQUIRE_FALSE(replaceFile("locale.ini", formatLocaleIni({false, "800x600x32"})));
    CHECK(contents("locale.ini").size() == 37);
}
