#include "platform/safefile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace {

Failure cannotWrite(const QString &fileName, int number, const QString &reason)
{
    return {number, QStringLiteral("cannot write \"%1\": %2").arg(fileName, reason)};
}

QString systemReason(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

} // namespace

std::optional<Failure> replaceFile(const QString &fileName, const QByteArray &bytes)
{
    // QFileInfo looks through a symbolic link at what it points to.
    const QFileInfo existing(fileName);
    if (existing.isDir())
        return cannotWrite(fileName, EISDIR, systemReason(EISDIR));
    // Root passes the system's own check, so look at the owner's write bit too.
    if (existing.exists()
        && (!existing.isWritable() || !existing.permissions().testFlag(QFileDevice::WriteOwner)))
        return cannotWrite(fileName, EACCES,
                           systemReason(EACCES) + QStringLiteral(" (the file is read-only)"));

    QSaveFile file(fileName);
    errno = 0;
    // Unbuffered, so that a short write shows here: a buffered one can be lost
    // on the way to commit() without it noticing.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int number = errno ? errno : EIO;
        return cannotWrite(fileName, number, systemReason(number));
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int number = errno ? errno : EIO;
        file.cancelWriting();
        return cannotWrite(fileName, number, systemReason(number));
    }
    errno = 0;
    if (!file.commit()) {
        const int number = errno ? errno : EIO;
        return cannotWrite(fileName, number, systemReason(number));
    }
    return std::nullopt;
}
