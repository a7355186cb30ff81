#pragma once

#include "platform/failure.h"

#include <QMessageBox>
#include <functional>

// Modal message boxes captioned with the application's title.
void showInformation(QWidget *parent, const QString &text);
void reportFailure(QWidget *parent, const Failure &failure);

// Lets a test see what would be shown; while set, no box opens.
struct ShownMessage
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};
void setMessageObserver(std::function<void(const ShownMessage &)> observer);
