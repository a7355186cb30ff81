// The window's rules that both programs follow, on the description itself.
#include "app/rules.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <set>

namespace {

const std::string &nameOf(std::size_t control)
{
    return Form1().controls[control].name;
}

} // namespace

TEST_CASE("Tab walks all 63 stops round, and Shift+Tab walks them back")
{
    const FormDescription &form = Form1();
    REQUIRE(controlIndex(form, "Combo4"));
    CHECK(nameOf(*controlIndex(form, "Combo4")) == "Combo4");
    CHECK_FALSE(controlIndex(form, "Combo55"));

    std::vector<std::string> forward, backward;
    std::optional<std::size_t> ahead = controlIndex(form, "Command1"), behind = ahead;
    for (int stop = 0; stop < 63; ++stop) {
        forward.push_back(nameOf(*(ahead = tabFrom(form, ahead, false))));
        backward.push_back(nameOf(*(behind = tabFrom(form, behind, true))));
    }
    CHECK(std::set(forward.begin(), forward.end()).size() == 63);
    CHECK(std::vector(forward.begin(), forward.begin() + 5)
          == std::vector<std::string>{"Combo1", "Combo2", "Combo3", "Check1", "Combo4"});
    CHECK(forward[37] == "Command2");
    CHECK(forward.back() == "Command1");
    std::reverse(backward.begin(), backward.end() - 1);
    CHECK(backward == forward);
    // From where no stop is, as from the first.
    CHECK(nameOf(tabFrom(form, std::nullopt, false)) == "Combo1");
    CHECK(nameOf(tabFrom(form, controlIndex(form, "Image1"), true)) == "Command3");
}

TEST_CASE("only what the window shows is made at start; four events are bound")
{
    const FormDescription &form = Form1();
    std::vector<std::string> made;
    for (const Control &control : form.controls) {
        if (madeAtStart(form, control))
            made.push_back(control.name);
    }
    CHECK(made == std::vector<std::string>{"Image2", "Check1", "Image1", "Combo4", "Command1", "Command3"});

    std::vector<std::string> bound;
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        for (const Event event : {Event::Click, Event::Change}) {
            if (boundAction(form, i, event))
                bound.push_back(nameOf(i) + (event == Event::Click ? " click" : " change"));
        }
    }
    CHECK(bound == std::vector<std::string>{"Command1 click", "Command3 click", "Combo1 change", "Command2 click"});
}

TEST_CASE("the picture for a scale: the one drawn for it, else the next larger shrunk")
{
    const auto shown = [](double scale) {
        const PictureChoice choice = pictureFor(scale);
        return std::string(choice.suffix) + " " + std::to_string(int(choice.shrink * 1000 + 0.5));
    };
    CHECK(shown(144 / 96.0) == "@1.5x 1000");
    CHECK(shown(1.0 + 1.0 / 64) == " 1000"); // within the slack, either side
    CHECK(shown(1.25 - 1.0 / 64) == "@1.25x 1000");
    CHECK(shown(1.0 + 1.0 / 32) == "@1.25x 825");
    CHECK(shown(1.75) == "@2x 875");
    CHECK(shown(2.5) == "@2x 1250");
    CHECK(shown(0.75) == " 750");
}
