#include "app/form1.h"

#include "form/rules.h"
#include "launcher/startgame.h"
#include "settings/displaymodes.h"
#include "settings/localeini.h"

#include <stdexcept>


namespace {

Control pictureLabel(const char *name, Twips place, const char *picture, const char *accessibleName)
{
    return {name, Kind::PictureLabel, place, picture, {}, accessibleName};
}

// Beyond the right edge, bound to nothing: they only take the focus. The combo
// boxes sit on a grid of three columns, the check boxes on one row below.
std::vector<Control> inertControls()
{
    std::vector<Control> controls;
    for (int n = 2; n <= 54; ++n) {
        if (n != 4)
            controls.push_back({"Combo" + std::to_string(n), Kind::ComboBox,
                                {6240 + (n - 2) % 3 * 2100, 360 + (n - 2) / 3 * 375, 2175, 315}});
    }
    for (int n = 2; n <= 6; ++n)
        controls.push_back({"Check" + std::to_string(n), Kind::CheckBox, {6240 + (n - 2) * 1050, 6960, 255, 375}});
    return controls;
}

FormDescription describeForm1()
{
    FormDescription form;
    form.name = "Form1";
    form.caption = "Korvane Resolution Changer";
    form.clientArea = {0, 0, 4035, 4110};
    form.background = "background";
    form.backgroundColour = {0x1a, 0x0d, 0x05};
    form.comboText = "Select below.";
    form.buttonLook = {1, 4, {255, 224, 192}};

    const std::vector<std::string> modes(DisplayModeList.begin(), DisplayModeList.end());
    form.controls = {
        // What the user sees; the picture labels lie beneath.
        pictureLabel("Image2", {600, 1080, 1515, 375}, "windowed", "Windowed"),
        {"Check1", Kind::CheckBox, {240, 1080, 255, 375}, {}, {}, "Windowed", {}, Rgb{255, 192, 128}},
        pictureLabel("Image1", {120, 1680, 1515, 375}, "resolution", "Resolution"),
        {"Combo4", Kind::ComboBox, {1560, 1680, 2175, 315}, {}, modes, "Resolution"},
        {"Command1", Kind::PictureButton, {0, 2640, 2055, 855}, "apply", {}, "Apply"},
        {"Command3", Kind::PictureButton, {2040, 2640, 2055, 855}, "rungame", {}, "Run game"},
        // Beyond the right edge: never seen, but reachable with Tab.
        {"Combo1", Kind::ComboBox, {9000, 1920, 2175, 315}, {}, {"0", "1"}},
        {"Command2", Kind::PictureButton, {8520, 2880, 2055, 975}, "demo", {}, "Run the demo"},
    };
    for (Control &inert : inertControls())
        form.controls.push_back(std::move(inert));

    form.controls[form.index("Image2")].labelFor = form.index("Check1");
    form.controls[form.index("Image1")].labelFor = form.index("Combo4");

    // All 63 stops; Tab wraps round from Command3 to Command1, where the focus starts.
    const auto stop = [&](const std::string &name) { form.tabOrder.push_back(form.index(name)); };
    const auto range = [&](const std::string &stem, int first, int last) {
        for (int n = first; n <= last; ++n)
            stop(stem + std::to_string(n));
    };
    stop("Command1"), stop("Combo1"), range("Combo", 2, 3), stop("Check1"), stop("Combo4"), range("Combo", 5, 13);
    range("Check", 2, 6), range("Combo", 14, 31), stop("Command2"), range("Combo", 32, 54), stop("Command3");

    const auto ofKind = [&](const char *name, Kind kind) {
        const Control &control = form.controls[form.index(name)];
        if (control.kind != kind || !madeAtStart(form, control))
            throw std::logic_error(std::string(name) + " is not made at start, of the kind its action reads");
        return form.index(name);
    };
    const SettingsControls read = {ofKind("Check1", Kind::CheckBox), ofKind("Combo4", Kind::ComboBox)};
    form.bindings = {
        {form.index("Command1"), Event::Click, [read](FormView &view) { Command1_Click(view, read); }},
        // An edit of its text, not a pick from its list.
        {form.index("Combo1"), Event::Change, [read](FormView &view) { Combo1_Change(view, read); }},
        {form.index("Command3"), Event::Click, Command3_Click},
        {form.index("Command2"), Event::Click, Command2_Click},
    };
    return form;
}

} // namespace

const FormDescription &Form1()
{
    static const FormDescription form = describeForm1();
    return form;
}
