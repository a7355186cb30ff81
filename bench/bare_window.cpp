// The floors to measure against: a bare Qt window of the program's size
// ("bare"), or the same with one editable combo box ("combo").
#include <QApplication>
#include <QComboBox>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(269, 274);
    if (argc > 1 && QByteArray(argv[1]) == "combo") {
        auto *combo = new QComboBox(&window);
        combo->setEditable(true);
        combo->setGeometry(104, 112, 145, 21);
        combo->setEditText(QStringLiteral("Select below."));
    }
    window.show();
    return app.exec();
}
