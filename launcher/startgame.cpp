#include "launcher/startgame.h"

#include "platform/programstart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

namespace {

bool isWindowsProgram(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

// Where the game's folder has it, take it as it is, so that a bad file there
// is reported rather than passed over; along PATH only what could be started.
QFileInfo findGameExecutable(const QString &name)
{
    const QFileInfo here(QDir::current(), name);
    if (here.exists())
        return here;
    const QStringList folders = qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString &folder : folders) {
        const QFileInfo candidate(QDir(folder), name);
        if (candidate.isFile() && (candidate.isExecutable() || isWindowsProgram(candidate.filePath())))
            return candidate;
    }
    return {};
}

Failure cannotStart(const QString &what, int number, const QString &detail = {})
{
    QString reason = QString::fromLocal8Bit(std::strerror(number));
    if (!detail.isEmpty())
        reason += QStringLiteral(" (%1)").arg(detail);
    return {number, QStringLiteral("cannot start \"%1\": %2").arg(what, reason)};
}

} // namespace

std::optional<Failure> StartGameExecutable(const QString &name)
{
    const QFileInfo executable = findGameExecutable(name);
    if (executable.filePath().isEmpty())
        return cannotStart(name, ENOENT, QStringLiteral("looked in the current folder and along PATH"));
    const QString path = executable.absoluteFilePath();
    if (executable.isDir())
        return cannotStart(path, EISDIR);

    if (isWindowsProgram(path)) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return Failure{ENOEXEC, QStringLiteral("cannot start \"%1\": it is a Windows program, and wine is "
                                                   "needed to start it (no wine was found on PATH)").arg(path)};
        return startProgram(wine, {path});
    }
    if (!executable.isExecutable())
        return cannotStart(path, EACCES, QStringLiteral("the file is not marked executable"));
    return startProgram(path, {});
}
