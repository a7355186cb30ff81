#include "settings/localeini.h"

#include "platform/safefile.h"

std::string formatLocaleIni(const DisplaySettings &settings)
{
    std::string bytes = settings.windowed ? "WINDOWED =1" : "WINDOWED =0";
    bytes += "\r\n";
    bytes += "RESOLUTION =" + settings.resolution + "\r\n";
    return bytes;
}

std::optional<Failure> writeLocaleIni(const DisplaySettings &settings)
{
    return replaceFile("locale.ini", formatLocaleIni(settings));
}
