#pragma once

#include "platform/failure.h"

#include <optional>
#include <string>

struct DisplaySettings
{
    bool windowed = false;
    std::string resolution; // the text of a DisplayModeList entry, or empty for none
};

// The exact bytes of locale.ini: two lines, each ended by CR LF, single-byte text.
std::string formatLocaleIni(const DisplaySettings &settings);

// Replaces locale.ini in the current directory whole; on failure it is left as it was.
std::optional<Failure> writeLocaleIni(const DisplaySettings &settings);
