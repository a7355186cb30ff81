#include "platform/messages.h"

#include <QGuiApplication>

namespace {

std::function<void(const ShownMessage &)> messageObserver;

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    const QString title = QGuiApplication::applicationDisplayName();
    if (messageObserver) {
        messageObserver({icon, title, text});
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

void showInformation(QWidget *parent, const QString &text)
{
    showMessage(parent, QMessageBox::Information, text);
}

void reportFailure(QWidget *parent, const Failure &failure)
{
    showMessage(parent, QMessageBox::Critical,
                QStringLiteral("Error %1: %2").arg(failure.number).arg(failure.description));
}

void setMessageObserver(std::function<void(const ShownMessage &)> observer)
{
    messageObserver = std::move(observer);
}
