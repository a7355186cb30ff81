#pragma once

#include <QString>
#include <cstring>

// What went wrong, in words a person can act on: the system's error number
// and a description that names the file or program and the reason.
struct Failure
{
    int number = 0;
    QString description;
};

// "cannot write "locale.ini": Permission denied (the file is read-only)"
inline Failure systemFailure(int number, const QString &action, const QString &detail = {})
{
    QString description = action + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(number));
    if (!detail.isEmpty())
        description += QStringLiteral(" (%1)").arg(detail);
    return {number, description};
}
