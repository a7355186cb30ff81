#include "settings/localeini.h"

#include "form/view.h"
#include "platform/failure.h"
#include "platform/safefile.h"
#include "settings/displaymodes.h"

#include <algorithm>

namespace {

// Read from the window afresh each time; on failure the old file stays whole.
std::optional<Failure> WriteLocaleIni(FormView &form, const SettingsControls &read)
{
    DisplaySettings settings;
    settings.windowed = form.checkValue(read.windowed) != 0;
    settings.resolution = listedDisplayMode(form.text(read.resolution));
    return replaceFile("locale.ini", formatLocaleIni(settings));
}

} // namespace

std::string formatLocaleIni(const DisplaySettings &settings)
{
    std::string bytes = settings.windowed ? "WINDOWED =1" : "WINDOWED =0";
    bytes += "\r\n";
    bytes += "RESOLUTION =" + settings.resolution + "\r\n";
    return bytes;
}

std::string listedDisplayMode(const std::string &shownText)
{
    const bool listed = std::find(DisplayModeList.begin(), DisplayModeList.end(), shownText) != DisplayModeList.end();
    return listed ? shownText : std::string();
}

void Command1_Click(FormView &form, const SettingsControls &read)
{
    if (const auto failure = WriteLocaleIni(form, read))
        form.showError(reportText("write", "locale.ini", *failure));
    else
        form.showInformation("Changes Applied!");
}

void Combo1_Change(FormView &form, const SettingsControls &read)
{
    if (const auto failure = WriteLocaleIni(form, read))
        form.showError(reportText("write", "locale.ini", *failure));
}
