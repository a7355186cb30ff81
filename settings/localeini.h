#pragma once

#include "platform/failure.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct DisplaySettings
{
    bool windowed = false;
    QString resolution; // the text of a DisplayModeList entry, or empty for none
};

// The exact bytes of locale.ini: two lines, each ended by CR LF, single-byte text.
QByteArray formatLocaleIni(const DisplaySettings &settings);

// Replaces locale.ini in the current directory whole; on failure it is left as it was.
std::optional<Failure> writeLocaleIni(const DisplaySettings &settings);
