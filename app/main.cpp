#include "app/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("korvane-resolution-changer"));
    app.setApplicationDisplayName(QStringLiteral("Korvane Resolution Changer"));
    app.setApplicationVersion(QStringLiteral(KORVANE_VERSION));

    Form1 form;
    form.show();
    return app.exec();
}
