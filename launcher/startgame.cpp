#include "launcher/startgame.h"

#include "platform/programstart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>

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

} // namespace

std::optional<Failure> StartGameExecutable(const QString &name)
{
    const QFileInfo executable = findGameExecutable(name);
    if (executable.filePath().isEmpty())
        return systemFailure(ENOENT, QStringLiteral("cannot start \"%1\"").arg(name),
                             QStringLiteral("looked in the current folder and along PATH"));
    const QString path = executable.absoluteFilePath();
    const QString action = QStringLiteral("cannot start \"%1\"").arg(path);
    if (executable.isDir())
        return systemFailure(EISDIR, action);

    if (isWindowsProgram(path)) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return Failure{ENOEXEC, action + QStringLiteral(": it is a Windows program, and wine is needed to "
                                                            "start it (no wine was found on PATH)")};
        return startProgram(wine, {path});
    }
    if (!executable.isExecutable())
        return systemFailure(EACCES, action, QStringLiteral("the file is not marked executable"));
    return startProgram(path, {});
}
