#include "settings/localeini.h"

#include "platform/safefile.h"

QByteArray formatLocaleIni(const DisplaySettings &settings)
{
    QByteArray bytes;
    bytes += settings.windowed ? "WINDOWED =1" : "WINDOWED =0";
    bytes += "\r\n";
    bytes += "RESOLUTION =";
    // The modes are ASCII; Latin-1 keeps any other text single-byte rather than UTF-8.
    bytes += settings.resolution.toLatin1();
    bytes += "\r\n";
    return bytes;
}

std::optional<Failure> writeLocaleIni(const DisplaySettings &settings)
{
    return replaceFile(QStringLiteral("locale.ini"), formatLocaleIni(settings));
}
