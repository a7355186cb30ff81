// The window on Qt: built from the window's description.
#include "platform/window.h"

#include "form/formstate.h"
#include "platform/qt/picture.h"
#include "platform/qt/picturebutton.h"
#include "platform/qt/sessionend.h"
#include "platform/qt/x11window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QWindow>
#include <QShortcut>
#include <algorithm>
#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace {

QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QRect pixels(Twips place)
{
    const Pixels p = toPixels(place);
    return {p.left, p.top, p.width, p.height};
}

QColor colour(Rgb rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

// A plain top-level widget reads as a "filler" to screen readers: this one
// is the program's window, named by its caption.
QAccessibleInterface *windowAccessible(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && widget->isWindow() && widget->objectName() == QLatin1String("Form1"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

class QtForm : public QWidget, public FormState<QWidget *>
{
public:
    explicit QtForm(const FormDescription &form);

    void showInformation(const std::string &text) override { showBox(QMessageBox::Information, fromUtf8(text)); }
    void showError(const std::string &text) override { showBox(QMessageBox::Critical, fromUtf8(text)); }

protected:
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_background);
    }

private:
    QWidget *make(std::size_t control) override;
    QWidget *parentOf(QWidget *widget) const override { return widget->parentWidget(); }
    int checkValueOf(QWidget *box) const override;
    std::string textOf(QWidget *combo) const override;
    void loadPictures();
    void fitScreen();
    void bind(std::size_t control, QWidget *widget);
    void showBox(QMessageBox::Icon icon, const QString &text)
    {
        QMessageBox box(icon, windowTitle(), text, QMessageBox::Ok, this);
        // Ctrl+C copies the caption and the text, as it does on Windows, for a report.
        QShortcut copy(QKeySequence::Copy, &box);
        connect(&copy, &QShortcut::activated, &box, [&] {
            const QString rule = QStringLiteral("---------------------------\n");
            QGuiApplication::clipboard()->setText(rule + windowTitle() + "\n" + rule + text + "\n" + rule + "OK\n" + rule);
        });
        box.exec();
    }

    QPixmap m_background;
};

QtForm::QtForm(const FormDescription &form)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint),
      FormState(form), m_background(picture(form.background, devicePixelRatioF()))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(fromUtf8(form.caption));
    setWindowIcon(QIcon(readPicture(QStringLiteral(":/icon.bmp"), "bmp")));
    setFixedSize(pixels(form.clientArea).size());
    QPalette background = palette();
    background.setColor(QPalette::Window, colour(form.backgroundColour));
    setPalette(background);

    // Each made above the one before.
    QWidget *first = makeShown();
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        if (auto *label = qobject_cast<QLabel *>(madeWidget(i)); label && form.controls[i].labelFor)
            label->setBuddy(madeWidget(*form.controls[i].labelFor));
    }
    first->setFocus();
    // The native window now, before it is shown: its handle, hints and
    // signals exist only from here on, on every platform Qt has.
    create();
    keepOffTaskbar(this);
    // At a fractional scale Qt hints a size step of 2 from a base of -2, and a
    // window manager that keeps to steps takes a pixel off an odd size.
    windowHandle()->setBaseSize(size());
    // Moved to a screen of another density, the window takes its size there
    // and the pictures drawn for it; queued, so that Qt has first taken the
    // window's geometry in the new screen's units.
    connect(windowHandle(), &QWindow::screenChanged, this, &QtForm::fitScreen, Qt::QueuedConnection);
}

// On X11, Qt 6.4 keeps the window's native size and size hints from the
// screen before, and skips hints given again unchanged: the base size is
// given anew, which sends them all in this screen's pixels, then the size.
void QtForm::fitScreen()
{
    QWindow *native = windowHandle();
    const QSize fixed = pixels(description().clientArea).size();
    native->setBaseSize({});
    native->setBaseSize(fixed);
    native->resize(fixed);
    loadPictures();
}

void QtForm::loadPictures()
{
    m_background = picture(description().background, devicePixelRatioF());
    for (std::size_t i = 0; i < description().controls.size(); ++i) {
        if (auto *label = qobject_cast<QLabel *>(madeWidget(i)))
            label->setPixmap(picture(description().controls[i].picture, devicePixelRatioF()));
        if (auto *button = qobject_cast<PictureButton *>(madeWidget(i)))
            button->setPicture(picture(description().controls[i].picture, devicePixelRatioF()));
    }
    update();
}

// Tab and Shift+Tab follow the description's list.
bool QtForm::focusNextPrevChild(bool next)
{
    widget(nextStop(QApplication::focusWidget(), !next))->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

QWidget *QtForm::make(std::size_t index)
{
    const Control &control = description().controls[index];
    QWidget *widget = nullptr;
    switch (control.kind) {
    case Kind::PictureLabel: {
        auto *label = new QLabel(this);
        label->setPixmap(picture(control.picture, devicePixelRatioF()));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
    }
    case Kind::CheckBox:
        widget = new QCheckBox(this);
        break;
    case Kind::ComboBox: {
        // Typed text is neither added to the list nor completed from it.
        auto *combo = new QComboBox(this);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        for (const std::string &item : control.items)
            combo->addItem(fromUtf8(item));
        combo->setCurrentIndex(-1);
        combo->setEditText(fromUtf8(description().comboText));
        widget = combo;
        break;
    }
    case Kind::PictureButton:
        widget = new PictureButton(picture(control.picture, devicePixelRatioF()), description().buttonLook, this);
        break;
    }
    if (control.background) {
        // A check box fills with its Button colour, which would also shade the box itself.
        widget->setBackgroundRole(QPalette::Window);
        widget->setAutoFillBackground(true);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour(*control.background));
        widget->setPalette(palette);
    }
    bind(index, widget);
    widget->setObjectName(fromUtf8(control.name));
    widget->setGeometry(pixels(control.place));
    widget->setAccessibleName(fromUtf8(control.accessibleName));
    widget->show();
    return widget;
}

void QtForm::bind(std::size_t control, QWidget *widget)
{
    if (const Action *action = boundAction(description(), control, Event::Click)) {
        if (auto *button = qobject_cast<QPushButton *>(widget))
            connect(button, &QPushButton::clicked, this, [this, action] { (*action)(*this); });
    }
    // textEdited, not textChanged: picking a list entry is not an edit.
    if (const Action *action = boundAction(description(), control, Event::Change)) {
        if (auto *combo = qobject_cast<QComboBox *>(widget))
            connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, action] { (*action)(*this); });
    }
}

int QtForm::checkValueOf(QWidget *box) const
{
    switch (qobject_cast<QCheckBox *>(box)->checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    default: return 2;
    }
}

std::string QtForm::textOf(QWidget *combo) const
{
    return qobject_cast<QComboBox *>(combo)->currentText().toStdString();
}

} // namespace

int runForm(int argc, char *argv[], const FormDescription &form)
{
    // With a file size limit, a write fails with EFBIG and is reported, rather than killing us.
    std::signal(SIGXFSZ, SIG_IGN);
    // Qt 6.4 draws a Wayland window in shared memory files, and crashes where
    // a file size limit forbids them (64 MiB holds any window's pixels):
    // XWayland draws it then, unless the user chose a platform.
    if (rlimit limit{}; getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur < rlim_t(64) << 20
                        && qEnvironmentVariableIsSet("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    Q_INIT_RESOURCE(resources); // they live in a static library
    Q_INIT_RESOURCE(denser);
    QApplication app(argc, argv);
    QAccessible::installFactory(windowAccessible);
    app.setApplicationName(QStringLiteral("korvane-resolution-changer"));
    app.setApplicationDisplayName(fromUtf8(form.caption));
    app.setApplicationVersion(QStringLiteral(KORVANE_VERSION));
    // Names the desktop entry, so a shell matches the window to it: the
    // Wayland app_id. The X11 class stays the application name, which the
    // entry's StartupWMClass repeats.
    app.setDesktopFileName(QStringLiteral("org.korvane.ResolutionChanger"));
    QtForm window(form);
    closeOnSessionEnd(&window);
    window.show();
    return app.exec();
}
