// Ticks Windowed, picks 1024x768x32 and clicks Apply in the current directory,
// then prints what the user was shown and whether the window stayed open.
#include "app/form1.h"
#include "platform/messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setMessageObserver([](const ShownMessage &message) {
        const char *kind = message.icon == QMessageBox::Critical ? "critical" : "information";
        std::printf("%s: %s\n", kind, qPrintable(message.text));
    });
    Form1 form;
    form.show();
    QTest::mouseClick(form.findChild<QCheckBox *>("Check1"), Qt::LeftButton);
    form.findChild<QComboBox *>("Combo4")->setCurrentIndex(5);
    QTest::mouseClick(form.findChild<QPushButton *>("Command1"), Qt::LeftButton);
    std::printf("%s\n", form.isVisible() ? "window still open" : "window closed");
    return 0;
}
