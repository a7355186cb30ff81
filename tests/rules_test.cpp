// The window's rules that both programs follow, on the description itself.
#include "app/form1.h"
#include "form/rules.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <set>

TEST_CASE("Tab walks all 63 stops round, Shift+Tab walks them back, and only what shows is made at start")
{
    const FormDescription &form = Form1();
    std::vector<std::size_t> forward, backward;
    std::size_t ahead = form.index("Command1"), behind = ahead;
    for (int stop = 0; stop < 63; ++stop) {
        forward.push_back(ahead = tabFrom(form, ahead, false));
        backward.push_back(behind = tabFrom(form, behind, true));
    }
    CHECK(std::set(forward.begin(), forward.end()).size() == 63);
    CHECK(forward.back() == form.index("Command1"));
    std::reverse(backward.begin(), backward.end() - 1);
    CHECK(backward == forward);
    // From where no stop is, as from the first.
    CHECK(tabFrom(form, std::nullopt, false) == form.index("Combo1"));
    CHECK(tabFrom(form, form.index("Image1"), true) == form.index("Command3"));
    CHECK_THROWS(form.index("Combo55"));

    std::vector<std::string> made;
    for (const Control &control : form.controls) {
        if (madeAtStart(form, control))
            made.push_back(control.name);
    }
    CHECK(made == std::vector<std::string>{"Image2", "Check1", "Image1", "Combo4", "Command1", "Command3"});
}

TEST_CASE("the picture for a scale: the one drawn for it, else the next larger shrunk")
{
    const auto shown = [](double scale) {
        const PictureChoice choice = pictureFor(scale);
        return std::string(choice.suffix) + " " + std::to_string(int(choice.shrink * 1000 + 0.5));
    };
    CHECK(shown(144 / 96.0) == "@1.5x 1000");
    CHECK(shown(1.0 + 1.0 / 32) == "@1.25x 825");
    CHECK(shown(2.25) == "@2.5x 900");
    CHECK(shown(3.5) == "@3x 1167");
}
