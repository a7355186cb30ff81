#pragma once

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
std::string selectedDisplayMode(const std::string &shownText);

// The two actions that replace locale.ini in the current folder with what the
// window shows: Apply confirms, an edit of Combo1's text is silent.
void Command1_Click(FormView &form);
void Combo1_Change(FormView &form);
