#pragma once

#include <cstddef>
#include <string>

class FormView;

struct DisplaySettings
{
    bool windowed = false;
    std::string resolution; // the text of a DisplayModeList entry, or empty for none
};

// The exact bytes of locale.ini: two lines, each ended by CR LF, single-byte text.
std::string formatLocaleIni(const DisplaySettings &settings);

// What Apply writes for what Combo4 shows: the list entry with exactly that text, or nothing.
std::string listedDisplayMode(const std::string &shownText);

// The controls the settings are read from, by their place in the window's description.
struct SettingsControls
{
    std::size_t windowed;   // a check box
    std::size_t resolution; // a combo box of DisplayModeList
};

// The two actions that replace locale.ini in the current folder with what the
// window shows: Apply confirms, an edit of Combo1's text is silent.
void Command1_Click(FormView &form, const SettingsControls &read);
void Combo1_Change(FormView &form, const SettingsControls &read);
