// The report's wording, checked here once, with the system's own words for
// its number on whichever platform this is built for.
#include "tests/fixtures.h"

TEST_CASE("a report names the action, the folder, the system's words and the cause, from the failure alone")
{
    const Failure none{0, Cause::None, ""};
    CHECK(reportText("open the window", "", none) == "cannot open the window: the system gave no cause");
    const Failure held{2, Cause::InUse, "/games/k"};
    CHECK(reportText("write", "locale.ini", held)
          == "Error 2: cannot write \"locale.ini\" in /games/k: " + systemText(2)
                 + " (the file is in use by another program, perhaps the game)");
}
