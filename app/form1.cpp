#include "app/form1.h"

#include "app/lazycontrol.h"
#include "app/picturebutton.h"
#include "app/twips.h"
#include "launcher/startgame.h"
#include "platform/messages.h"
#include "platform/x11window.h"
#include "settings/displaymodes.h"
#include "settings/localeini.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace {

QStringList displayModes()
{
    QStringList modes;
    for (const char *mode : DisplayModeList)
        modes << QString::fromLatin1(mode);
    return modes;
}

QLabel *pictureLabel(QWidget *parent, const QString &name, QRect geometry, const QString &picture)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setPixmap(QPixmap(picture));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QCheckBox *checkBox(QWidget *parent, const QString &name, QRect geometry)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    return box;
}

// An editable combo box whose list stays as given: typed text is neither
// added to the list nor completed from it.
QComboBox *comboBox(QWidget *parent, const QString &name, QRect geometry, const QStringList &items)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setGeometry(geometry);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(QStringLiteral("Select below."));
    return combo;
}

PictureButton *pictureButton(QWidget *parent, const QString &name, QRect geometry, const QString &picture)
{
    auto *button = new PictureButton(picture, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

// Controls beyond the right edge are made when the focus first reaches them.
QWidget *offscreen(QWidget *parent, const QString &name, QRect geometry, LazyControl::Factory make)
{
    return new LazyControl(parent, name, geometry, std::move(make));
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_background(QStringLiteral(":/background.png"))
{
    Q_INIT_RESOURCE(resources); // they live in a static library
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvane Resolution Changer"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    setFixedSize(twips(0, 0, 4035, 4110).size());
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(0x1a, 0x0d, 0x05));
    setPalette(shade);

    // What the user sees. The picture labels come first so that they lie beneath.
    QLabel *Image2 = pictureLabel(this, "Image2", twips(600, 1080, 1515, 375), ":/windowed.png");
    Check1 = checkBox(this, "Check1", twips(240, 1080, 255, 375));
    QLabel *Image1 = pictureLabel(this, "Image1", twips(120, 1680, 1515, 375), ":/resolution.png");
    Combo4 = comboBox(this, "Combo4", twips(1560, 1680, 2175, 315), displayModes());
    PictureButton *Command1 = pictureButton(this, "Command1", twips(0, 2640, 2055, 855), ":/apply.png");
    PictureButton *Command3 = pictureButton(this, "Command3", twips(2040, 2640, 2055, 855), ":/rungame.png");

    // Beyond the right edge: never seen, but reachable with Tab.
    QWidget *Combo1 = offscreen(this, "Combo1", twips(9000, 1920, 2175, 315), [this](QWidget *parent) {
        QComboBox *combo = comboBox(parent, {}, {}, {"0", "1"});
        // textEdited, not textChanged: picking a list entry must not write.
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, &Form1::Combo1_Change);
        return combo;
    });
    QWidget *Command2 = offscreen(this, "Command2", twips(8520, 2880, 2055, 975), [this](QWidget *parent) {
        PictureButton *button = pictureButton(parent, {}, {}, ":/demo.png");
        connect(button, &QPushButton::clicked, this, &Form1::Command2_Click);
        return button;
    });

    // Also beyond the right edge, and bound to nothing: they only take the focus.
    QList<QWidget *> inertCombos(55); // indexed by the number in the name
    for (int n = 2; n <= 54; ++n) {
        const int left = 6240 + (n - 2) % 3 * 2100;
        const int top = 360 + (n - 2) / 3 * 375;
        if (n != 4)
            inertCombos[n] = offscreen(this, QStringLiteral("Combo%1").arg(n), twips(left, top, 2175, 315),
                                       [](QWidget *parent) { return comboBox(parent, {}, {}, {}); });
    }
    QList<QWidget *> inertChecks(7);
    for (int n = 2; n <= 6; ++n)
        inertChecks[n] = offscreen(this, QStringLiteral("Check%1").arg(n), twips(6240 + (n - 2) * 1050, 6960, 255, 375),
                                   [](QWidget *parent) { return checkBox(parent, {}, {}); });
    const auto combos = [&](int first, int last) { return inertCombos.mid(first, last - first + 1); };
    const auto checks = [&](int first, int last) { return inertChecks.mid(first, last - first + 1); };

    // The Tab order, all 63 stops; it wraps round from Command3 to Command1.
    const QList<QWidget *> focusOrder = QList<QWidget *>{Command1, Combo1}
        + combos(2, 3) + QList<QWidget *>{Check1, Combo4} + combos(5, 13) + checks(2, 6)
        + combos(14, 31) + QList<QWidget *>{Command2} + combos(32, 54) + QList<QWidget *>{Command3};
    for (qsizetype i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    Command1->setFocus();

    // A check box fills with its Button colour, which also shades the box itself.
    Check1->setBackgroundRole(QPalette::Window);
    Check1->setAutoFillBackground(true);
    QPalette orange = Check1->palette();
    orange.setColor(QPalette::Window, QColor(255, 192, 128));
    Check1->setPalette(orange);

    // Names for screen readers; nothing on screen changes.
    Command1->setAccessibleName(tr("Apply"));
    Command3->setAccessibleName(tr("Run game"));
    Command2->setAccessibleName(tr("Run the demo"));
    Image2->setAccessibleName(tr("Windowed"));
    Image1->setAccessibleName(tr("Resolution"));
    Check1->setAccessibleName(Image2->accessibleName());
    Combo4->setAccessibleName(Image1->accessibleName());
    Image2->setBuddy(Check1);
    Image1->setBuddy(Combo4);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);

    keepOffTaskbar(this);
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
}

void Form1::Command1_Click()
{
    if (const auto failure = WriteLocaleIni()) {
        reportFailure(this, *failure);
        return;
    }
    showInformation(this, QStringLiteral("Changes Applied!"));
}

void Form1::Combo1_Change()
{
    if (const auto failure = WriteLocaleIni())
        reportFailure(this, *failure);
}

void Form1::Command3_Click()
{
    if (const auto failure = StartGameExecutable(QStringLiteral("korvane.exe")))
        reportFailure(this, *failure);
}

void Form1::Command2_Click()
{
    if (const auto failure = StartGameExecutable(QStringLiteral("korvane_demo.exe")))
        reportFailure(this, *failure);
}

std::optional<Failure> Form1::WriteLocaleIni()
{
    DisplaySettings settings;
    settings.windowed = Check1->checkState() != Qt::Unchecked;
    // After the user has typed, the combo's own index may name another entry than
    // the one its text shows; the file must get what the user sees, or nothing.
    const int index = Combo4->findText(Combo4->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    settings.resolution = Combo4->itemText(index);
    return writeLocaleIni(settings);
}
