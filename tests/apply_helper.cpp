// Ticks Windowed, picks 1024x768x32 and clicks Apply in the current directory,
// then prints what the user was shown and whether the window stayed open.
#include "app/form1.h"
#include "platform/messages.h"

#include <QtTest>
#include <QtWidgets>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setMessageObserver([](const ShownMessage &message) {
        std::printf("%s: %s\n", message.icon == QMessageBox::Critical ? "critical" : "information", qPrintable(message.text));
    });
    Form1 form;
    form.show();
    form.findChild<QCheckBox *>("Check1")->setChecked(true);
    form.findChild<QComboBox *>("Combo4")->setCurrentIndex(5);
    QTest::mouseClick(form.findChild<QPushButton *>("Command1"), Qt::LeftButton);
    std::printf("%s\n", form.isVisible() ? "window still open" : "window closed");
}
