// The window, built from its description, and what it does for every
// control: making, placing and colouring it, its events, the Tab walk, and
// the pictures again for a new density.
#include "platform/qt/window.h"

#include "form/formstate.h"
#include "platform/qt/picture.h"
#include "platform/qt/sessionend.h"
#include "platform/qt/x11window.h"
#include "platform/window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QWindow>
#include <QShortcut>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sys/resource.h>

namespace {

QRect pixels(Twips place)
{
    const Pixels p = toPixels(place);
    return {p.left, p.top, p.width, p.height};
}

QColor colour(Rgb rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

const ControlKind &controlKind(Kind kind)
{
    switch (kind) {
    case Kind::PictureLabel: return pictureLabel;
    case Kind::CheckBox: return checkBox;
    case Kind::ComboBox: return comboBox;
    case Kind::PictureButton: break;
    }
    return pictureButton;
}

class QtWindow : public QWidget, public FormState<QWidget *>
{
public:
    explicit QtWindow(const FormDescription &form);

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
    int checkValueOf(QWidget *box) const override { return checkBoxValue(box); }
    std::string textOf(QWidget *combo) const override { return comboBoxText(combo); }
    void loadPictures();
    void fitScreen();
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

// A plain top-level widget reads as a "filler" to screen readers: this one
// is the program's window, named by its caption.
QAccessibleInterface *windowAccessible(const QString &, QObject *object)
{
    auto *window = dynamic_cast<QtWindow *>(object);
    return window ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

QtWindow::QtWindow(const FormDescription &form)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint),
      FormState(form), m_background(picture(form.background, devicePixelRatioF()))
{
    setObjectName(fromUtf8(form.name));
    setWindowTitle(fromUtf8(form.caption));
    setWindowIcon(QIcon(readPicture(QStringLiteral(":/icon.bmp"), "bmp")));
    setFixedSize(pixels(form.clientArea).size());
    QPalette background = palette();
    background.setColor(QPalette::Window, colour(form.backgroundColour));
    setPalette(background);

    // Each made above the one before. A picture label is read as the label
    // of the control it names, where both show from the start.
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
    connect(windowHandle(), &QWindow::screenChanged, this, &QtWindow::fitScreen, Qt::QueuedConnection);
}

// On X11, Qt 6.4 keeps the window's native size and size hints from the
// screen before, and skips hints given again unchanged: the base size is
// given anew, which sends them all in this screen's pixels, then the size.
void QtWindow::fitScreen()
{
    QWindow *native = windowHandle();
    const QSize fixed = pixels(description().clientArea).size();
    native->setBaseSize({});
    native->setBaseSize(fixed);
    native->resize(fixed);
    loadPictures();
}

void QtWindow::loadPictures()
{
    m_background = picture(description().background, devicePixelRatioF());
    for (std::size_t i = 0; i < description().controls.size(); ++i) {
        const Control &control = description().controls[i];
        if (QWidget *widget = madeWidget(i); widget && controlKind(control.kind).showPicture)
            controlKind(control.kind).showPicture(widget, control, devicePixelRatioF());
    }
    update();
}

// Tab and Shift+Tab follow the description's list.
bool QtWindow::focusNextPrevChild(bool next)
{
    widget(nextStop(QApplication::focusWidget(), !next))->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

QWidget *QtWindow::make(std::size_t index)
{
    const Control &control = description().controls[index];
    const ControlKind &kind = controlKind(control.kind);
    QWidget *widget = kind.make(description(), control, this);
    if (kind.showPicture)
        kind.showPicture(widget, control, devicePixelRatioF());
    if (control.background) {
        // A check box fills with its Button colour, which would also shade the box itself.
        widget->setBackgroundRole(QPalette::Window);
        widget->setAutoFillBackground(true);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour(*control.background));
        widget->setPalette(palette);
    }
    for (const Event event : {Event::Click, Event::Change}) {
        if (const Action *action = boundAction(description(), index, event); action && kind.on)
            kind.on(widget, event, [this, action] { (*action)(*this); });
    }
    widget->setObjectName(fromUtf8(control.name));
    widget->setGeometry(pixels(control.place));
    widget->setAccessibleName(fromUtf8(control.accessibleName));
    widget->show();
    return widget;
}

} // namespace

int runForm(int argc, char *argv[], const ProgramIdentity &program, const FormDescription &form)
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
    app.setApplicationName(fromUtf8(program.name));
    app.setApplicationDisplayName(fromUtf8(form.caption));
    app.setApplicationVersion(QStringLiteral(KORVANE_VERSION));
    // Names the desktop entry, so a shell matches the window to it: the
    // Wayland app_id. The X11 class stays the application name, which the
    // entry's StartupWMClass repeats.
    app.setDesktopFileName(fromUtf8(program.desktopId));
    QtWindow window(form);
    closeOnSessionEnd(&window);
    window.show();
    const int status = app.exec();
    // Qt 6.4's Wayland client can wait for ever on its event thread when torn
    // down, leaving a process with no window; every write is already on disk.
    std::fflush(nullptr);
    std::_Exit(status);
}
