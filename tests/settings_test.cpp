// The window's description, the exact bytes of locale.ini and the replace,
// on whichever platform this is built for.
#include "tests/testfolder.h"

#include "app/form1.h"
#include "platform/safefile.h"
#include "settings/localeini.h"


TEST_CASE("locale.ini is two lines of single-byte text, each ended by CR LF")
{
    CHECK(formatLocaleIni({false, "800x600x32"}) == "WINDOWED =0\r\nRESOLUTION =800x600x32\r\n");
    CHECK(formatLocaleIni({true, "1024x768x32"}) == "WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n");
    CHECK(formatLocaleIni({true, ""}) == "WINDOWED =1\r\nRESOLUTION =\r\n");
    CHECK(formatLocaleIni({false, "800x600x32"}).size() == 37);
}

TEST_CASE("Apply takes the mode whose text is shown exactly, or none")
{
    for (const std::string shown : {"640x480x16", "1600x1200x32"})
        CHECK(selectedDisplayMode(shown) == shown);
    for (const std::string shown : {"Select below.", "1024x768", "640X480X16", " 640x480x16"})
        CHECK(selectedDisplayMode(shown).empty());
}

TEST_CASE("locale.ini is replaced whole, or kept as it was")
{
    TestFolder folder;
    const std::string old = "[Display]\r\nWINDOWED =1\r\nRESOLUTION =640x480x16\r\nGAMMA =1.2\r\n";
    const std::string applied = "WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n";

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
    SUBCASE("a read-only file, a folder in its place")
    {
        put("locale.ini", old);
        fs::permissions("locale.ini", fs::perms::owner_read | fs::perms::group_read);
        const auto readOnly = writeLocaleIni({true, "1024x768x32"});
        REQUIRE(readOnly);
        CHECK(readOnly->description.find("cannot write \"locale.ini\": ") == 0);
        CHECK(readOnly->description.find("(the file is read-only)") != std::string::npos);
        CHECK(contents("locale.ini") == old);
        fs::permissions("locale.ini", fs::perms::owner_all);
        fs::remove("locale.ini");

        fs::create_directory("locale.ini");
        CHECK(writeLocaleIni({true, "1024x768x32"}));
        CHECK(fs::is_directory("locale.ini"));
        CHECK(entries(".") == std::vector<std::string>{"locale.ini"});
    }
}
