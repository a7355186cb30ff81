#include "platform/safefile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

std::optional<Failure> replaceFile(const QString &fileName, const QByteArray &bytes)
{
    const QString action = QStringLiteral("cannot write \"%1\"").arg(fileName);
    // QFileInfo looks through a symbolic link at what it points to.
    const QFileInfo existing(fileName);
    if (existing.isDir())
        return systemFailure(EISDIR, action);
    // Root passes the system's own check, so look at the owner's write bit too.
    if (existing.exists()
        && (!existing.isWritable() || !existing.permissions().testFlag(QFileDevice::WriteOwner)))
        return systemFailure(EACCES, action, QStringLiteral("the file is read-only"));

    QSaveFile file(fileName);
    const auto failed = [&] { return systemFailure(errno ? errno : EIO, action); };
    errno = 0;
    // Unbuffered, so that a short write shows here: a buffered one can be lost
    // on the way to commit() without it noticing.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed();
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const Failure failure = failed();
        file.cancelWriting();
        return failure;
    }
    errno = 0;
    if (!file.commit())
        return failed();
    return std::nullopt;
}
