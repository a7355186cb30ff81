// What both programs share below their toolkits: the window's rules, on
// stand-in widgets, and the report's wording, with the system's own words for
// its number on whichever platform this is built for.
#include "app/form1.h"
#include "form/formstate.h"
#include "platform/failure.h"

#include <doctest/doctest.h>

#include <deque>

namespace {

struct Widget
{
    std::size_t control;
    Widget *parent;
};

// Made in order.
class StandIn : public FormState<Widget *>
{
public:
    StandIn() : FormState(Form1()) {}
    using FormState::controlOf, FormState::makeShown, FormState::nextStop, FormState::widget;
    std::vector<std::string> made;
    std::deque<Widget> widgets;
    void showInformation(const std::string &) override {}
    void showError(const std::string &) override {}

private:
    Widget *make(std::size_t control) override
    {
        made.push_back(Form1().controls[control].name);
        return &widgets.emplace_back(Widget{control, nullptr});
    }
    Widget *parentOf(Widget *widget) const override { return widget->parent; }
    int checkValueOf(Widget *) const override { return 1; }
    std::string textOf(Widget *) const override { return "typed"; }
};

} // namespace

TEST_CASE("the window makes only what shows at start, and Tab walks the list round")
{
    const FormDescription &form = Form1();
    StandIn window;
    Widget *first = window.makeShown();
    CHECK(window.made == std::vector<std::string>{"Image2", "Check1", "Image1", "Combo4", "Command1", "Command3"});
    CHECK(first->control == form.index("Command1"));
    // The edit field inside a combo box is the combo box; from no stop, Tab goes to the first, Shift+Tab to the last.
    Widget field{99, window.widget(form.index("Combo4"))}, stranger{99, nullptr};
    CHECK(window.controlOf(&field) == form.index("Combo4"));
    CHECK(window.nextStop(&stranger, false) == form.index("Command1"));
    CHECK((window.nextStop(nullptr, true) == form.index("Command3") && window.nextStop(first, true) == form.index("Command3")));
}

TEST_CASE("the picture for a scale: the one drawn for it, else the next larger shrunk; a button's face at that density")
{
    const auto shown = [](double scale) {
        const PictureChoice choice = pictureFor(scale);
        return choice.density + " " + std::to_string(int(choice.shrink * 1000 + 0.5));
    };
    CHECK(shown(1.0) == " 1000");
    CHECK(shown(144 / 96.0) == "1.5x 1000");
    CHECK(shown(2.25) == "2.5x 900");
    CHECK(shown(3.5) == "3x 1167");

    const ButtonFace face = buttonFace({1, 4, {}}, 206, 86, 201, 87, true, 144);
    CHECK((face.pictureLeft == 4 && face.pictureTop == 2)); // clipped alike at top and bottom
    CHECK((face.focusFrame.left == 6 && face.focusFrame.width == 194 && face.focusFrame.height == 74));
}

TEST_CASE("a report names the action, the folder, the system's words and the cause, from the failure alone")
{
    CHECK(reportText("open the window", "", {}) == "cannot open the window: the system gave no cause");
    CHECK(reportText("write", "locale.ini", {2, Cause::InUse, "/games/k"})
          == "Error 2: cannot write \"locale.ini\" in /games/k: " + systemText(2)
                 + " (the file is in use by another program, perhaps the game)");
}
