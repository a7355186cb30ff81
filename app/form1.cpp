#include "app/form1.h"

#include "launcher/startgame.h"
#include "platform/window.h"
#include "settings/displaymodes.h"
#include "settings/localeini.h"

#include <algorithm>

namespace {

std::optional<Failure> WriteLocaleIni(FormView &form)
{
    DisplaySettings settings;
    settings.windowed = form.checkValue("Check1") != 0;
    settings.resolution = selectedDisplayMode(form.text("Combo4"));
    return writeLocaleIni(settings);
}

void Command1_Click(FormView &form)
{
    if (const auto failure = WriteLocaleIni(form))
        form.reportFailure(*failure);
    else
        form.showInformation("Changes Applied!");
}

void Combo1_Change(FormView &form)
{
    if (const auto failure = WriteLocaleIni(form))
        form.reportFailure(*failure);
}

void Command3_Click(FormView &form)
{
    if (const auto failure = StartGameExecutable("korvane.exe"))
        form.reportFailure(*failure);
}

void Command2_Click(FormView &form)
{
    if (const auto failure = StartGameExecutable("korvane_demo.exe"))
        form.reportFailure(*failure);
}

Control pictureLabel(const char *name, Twips place, const char *picture, const char *accessibleName,
                     const char *labelFor)
{
    return {name, Kind::PictureLabel, place, picture, {}, accessibleName, labelFor, {}};
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

// "Combo5..13" stands for Combo5, Combo6, ... Combo13.
std::vector<std::string> expand(std::initializer_list<std::string> stops)
{
    std::vector<std::string> names;
    for (const std::string &stop : stops) {
        const auto dots = stop.find("..");
        if (dots == std::string::npos) {
            names.push_back(stop);
            continue;
        }
        const auto digits = stop.find_first_of("0123456789");
        const std::string stem = stop.substr(0, digits);
        const int last = std::stoi(stop.substr(dots + 2));
        for (int n = std::stoi(stop.substr(digits, dots - digits)); n <= last; ++n)
            names.push_back(stem + std::to_string(n));
    }
    return names;
}

FormDescription describeForm1()
{
    FormDescription form;
    form.caption = "Korvane Resolution Changer";
    form.clientArea = {0, 0, 4035, 4110};
    form.background = "background";
    form.backgroundColour = {0x1a, 0x0d, 0x05};
    form.comboText = "Select below.";
    form.buttonLook = {1, 4, {255, 224, 192}};

    const std::vector<std::string> modes(DisplayModeList.begin(), DisplayModeList.end());
    form.controls = {
        // What the user sees; the picture labels lie beneath.
        pictureLabel("Image2", {600, 1080, 1515, 375}, "windowed", "Windowed", "Check1"),
        {"Check1", Kind::CheckBox, {240, 1080, 255, 375}, {}, {}, "Windowed", {}, Rgb{255, 192, 128}},
        pictureLabel("Image1", {120, 1680, 1515, 375}, "resolution", "Resolution", "Combo4"),
        {"Combo4", Kind::ComboBox, {1560, 1680, 2175, 315}, {}, modes, "Resolution"},
        {"Command1", Kind::PictureButton, {0, 2640, 2055, 855}, "apply", {}, "Apply"},
        {"Command3", Kind::PictureButton, {2040, 2640, 2055, 855}, "rungame", {}, "Run game"},
        // Beyond the right edge: never seen, but reachable with Tab.
        {"Combo1", Kind::ComboBox, {9000, 1920, 2175, 315}, {}, {"0", "1"}},
        {"Command2", Kind::PictureButton, {8520, 2880, 2055, 975}, "demo", {}, "Run the demo"},
    };
    for (Control &inert : inertControls())
        form.controls.push_back(std::move(inert));

    // All 63 stops; Tab wraps round from Command3 to Command1, where the focus starts.
    form.tabOrder = expand({"Command1", "Combo1", "Combo2..3", "Check1", "Combo4", "Combo5..13", "Check2..6",
                            "Combo14..31", "Command2", "Combo32..54", "Command3"});

    form.bindings = {
        {"Command1", Event::Click, Command1_Click},
        {"Combo1", Event::Change, Combo1_Change}, // an edit of its text, not a pick from its list
        {"Command3", Event::Click, Command3_Click},
        {"Command2", Event::Click, Command2_Click},
    };
    return form;
}

} // namespace

const FormDescription &Form1()
{
    static const FormDescription form = describeForm1();
    return form;
}

std::string selectedDisplayMode(const std::string &shownText)
{
    const bool listed = std::find(DisplayModeList.begin(), DisplayModeList.end(), shownText) != DisplayModeList.end();
    return listed ? shownText : std::string();
}
