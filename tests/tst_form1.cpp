#include "app/form1.h"
#include "settings/displaymodes.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <memory>
#include <sys/resource.h>
#include <csignal>
#include <unistd.h>

namespace {

const QByteArray appliedNothing = "WINDOWED =0\r\nRESOLUTION =\r\n";
// The owner, group and other bits; the "user" bits depend on who runs the test.
const QFile::Permissions modeBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                   | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
                                   | QFile::ExeOther;
const QByteArray otherProgramsFile = "[Display]\r\nWINDOWED =1\r\nRESOLUTION =640x480x16\r\nGAMMA =1.2\r\n";

QStringList expectedFocusOrder()
{
    QStringList order{"Command1", "Combo1", "Combo2", "Combo3", "Check1", "Combo4"};
    const auto combos = [&](int first, int last) {
        for (int n = first; n <= last; ++n)
            order << QStringLiteral("Combo%1").arg(n);
    };
    combos(5, 13);
    for (int n = 2; n <= 6; ++n)
        order << QStringLiteral("Check%1").arg(n);
    combos(14, 31);
    order << "Command2";
    combos(32, 54);
    order << "Command3";
    return order;
}

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

    std::unique_ptr<Scene> scene;
    std::unique_ptr<Form1> form;

    QCheckBox *check1() { return control<QCheckBox>(form.get(), "Check1"); }
    QComboBox *combo4() { return control<QComboBox>(form.get(), "Combo4"); }
    QPushButton *command1() { return control<QPushButton>(form.get(), "Command1"); }
    QString focused() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "<none>"; }

    void clickApply() { QTest::mouseClick(command1(), Qt::LeftButton); }

    // The user's choice as keys: Space ticks the box, Down walks the list from
    // "no entry", Ctrl+A and typing replace the text.
    void choose(bool windowed, int downPresses, const QString &typed)
    {
        if (windowed) {
            check1()->setFocus();
            pressKey(Qt::Key_Space);
        }
        combo4()->setFocus();
        for (int i = 0; i < downPresses; ++i)
            pressKey(Qt::Key_Down);
        if (!typed.isNull()) {
            pressKey(Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), typed);
        }
    }

    // After any failure: error shown once, no confirmation, window open, choices kept.
    void verifyRefused(const QString &reason)
    {
        QCOMPARE(scene->shown.size(), 1);
        QCOMPARE(scene->shown[0].icon, QMessageBox::Critical);
        QVERIFY2(scene->shown[0].text.contains(reason), qPrintable(scene->shown[0].text));
        QVERIFY(scene->shown[0].text.contains("\"locale.ini\""));
        QVERIFY(form->isVisible());
        QCOMPARE(check1()->checkState(), Qt::Checked);
        QCOMPARE(combo4()->currentText(), QString("1024x768x32"));
    }

private slots:
    void initTestCase()
    {
        QApplication::setApplicationDisplayName("Korvane Resolution Changer");
    }

    void init()
    {
        scene = std::make_unique<Scene>();
        form = std::make_unique<Form1>();
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup()
    {
        form.reset();
        scene.reset();
    }

    void windowFrameAndControls()
    {
        QCOMPARE(form->windowTitle(), QString("Korvane Resolution Changer"));
        QCOMPARE(form->size(), QSize(269, 274));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

        const QList<std::pair<const char *, QRect>> visible = {
            {"Image2", {40, 72, 101, 25}},     {"Check1", {16, 72, 17, 25}},
            {"Image1", {8, 112, 101, 25}},     {"Combo4", {104, 112, 145, 21}},
            {"Command1", {0, 176, 137, 57}},   {"Command3", {136, 176, 137, 57}},
            {"Combo1", {600, 128, 145, 21}},   {"Command2", {568, 192, 137, 65}},
        };
        for (const auto &[name, rect] : visible)
            QCOMPARE(control<QWidget>(form.get(), name)->geometry(), rect);

        for (const char *label : {"Image1", "Image2"}) {
            QCOMPARE(control<QLabel>(form.get(), label)->pixmap().size(), QSize(101, 25));
            QCOMPARE(control<QLabel>(form.get(), label)->focusPolicy(), Qt::NoFocus);
        }
        for (const char *button : {"Command1", "Command2", "Command3"})
            QVERIFY(control<QPushButton>(form.get(), button)->text().isEmpty());

        // Picture labels lie beneath: the pixel Image1 shares with Combo4 is the combo's.
        QWidget *onTop = form->childAt(106, 120);
        QVERIFY(onTop == combo4() || combo4()->isAncestorOf(onTop));

        // Every other control is out of sight beyond the right edge, yet enabled.
        int inert = 0;
        for (QWidget *child : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            QVERIFY(child->isEnabled() && child->isVisible());
            if (child->x() >= 269)
                ++inert;
        }
        QCOMPARE(inert, 59);
        QCOMPARE(form->findChildren<QComboBox *>(Qt::FindDirectChildrenOnly).size(), 54);
        QCOMPARE(form->findChildren<QCheckBox *>(Qt::FindDirectChildrenOnly).size(), 6);
    }

    void initialState()
    {
        QCOMPARE(focused(), QString("Command1"));
        QCOMPARE(check1()->checkState(), Qt::Unchecked);
        QCOMPARE(check1()->palette().color(check1()->backgroundRole()), QColor(255, 192, 128));

        QStringList modes;
        for (const char *mode : DisplayModeList)
            modes << mode;
        QCOMPARE(modes.size(), 10);
        QCOMPARE(modes.first(), QString("640x480x16"));
        QCOMPARE(modes.last(), QString("1600x1200x32"));

        const QList<std::pair<const char *, QStringList>> combos = {
            {"Combo4", modes}, {"Combo1", {"0", "1"}}};
        for (const auto &[name, items] : combos) {
            auto *combo = control<QComboBox>(form.get(), name);
            QStringList shownItems;
            for (int i = 0; i < combo->count(); ++i)
                shownItems << combo->itemText(i);
            QCOMPARE(shownItems, items);
            QCOMPARE(combo->currentIndex(), -1);
            QCOMPARE(combo->currentText(), QString("Select below."));
            QVERIFY(combo->isEditable());
        }
    }

    void focusOrder()
    {
        QStringList walked{focused()};
        for (int i = 0; i < 63; ++i) {
            pressKey(Qt::Key_Tab);
            walked << focused();
        }
        const QStringList expected = expectedFocusOrder();
        QCOMPARE(expected.size(), 63);
        QCOMPARE(walked.mid(0, 63), expected);
        QCOMPARE(walked[38], QString("Command2"));
        QCOMPARE(walked[63], QString("Command1")); // round to the start

        pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), QString("Command3"));
        combo4()->setFocus();
        pressKey(Qt::Key_Tab);
        QCOMPARE(focused(), QString("Combo5"));
    }

    void applyWritesTheChoice_data()
    {
        QTest::addColumn<bool>("windowed");
        QTest::addColumn<int>("downPresses");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("windowed, 1024x768x32") << true << 6 << QString()
                                               << QByteArray("WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n");
        QTest::newRow("full screen, 800x600x32") << false << 4 << QString()
                                                 << QByteArray("WINDOWED =0\r\nRESOLUTION =800x600x32\r\n");
        QTest::newRow("last entry") << false << 12 << QString()
                                    << QByteArray("WINDOWED =0\r\nRESOLUTION =1600x1200x32\r\n");
        QTest::newRow("no entry chosen") << false << 0 << QString() << appliedNothing;
        QTest::newRow("typed an entry exactly") << true << 0 << QString("1600x1200x16")
                                                << QByteArray("WINDOWED =1\r\nRESOLUTION =1600x1200x16\r\n");
        // Picked 1024x768x32, then the text was changed: what shows is no entry.
        QTest::newRow("picked, then typed over") << false << 6 << QString("1024x768")
                                                 << appliedNothing;
        QTest::newRow("typed in capitals") << false << 0 << QString("640X480X16") << appliedNothing;
    }

    void applyWritesTheChoice()
    {
        QFETCH(bool, windowed);
        QFETCH(int, downPresses);
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);

        choose(windowed, downPresses, typed);
        QVERIFY(!QFile::exists("locale.ini")); // choosing alone writes nothing
        clickApply();

        QCOMPARE(readFile(scene->path("locale.ini")), expected);
        QCOMPARE(scene->shown.size(), 1);
        QCOMPARE(scene->shown[0].icon, QMessageBox::Information);
        QCOMPARE(scene->shown[0].text, QString("Changes Applied!"));
        QCOMPARE(scene->shown[0].title, QString("Korvane Resolution Changer"));
        QCOMPARE(combo4()->count(), 10); // typing never adds to the list
    }

    void greyedCheckCountsAsWindowed()
    {
        check1()->setTristate(true);
        check1()->setCheckState(Qt::PartiallyChecked);
        clickApply();
        QCOMPARE(readFile(scene->path("locale.ini")), QByteArray("WINDOWED =1\r\nRESOLUTION =\r\n"));
    }

    void applyReplacesTheWholeFile()
    {
        writeFile(scene->path("locale.ini"), otherProgramsFile);
        QFile::setPermissions(scene->path("locale.ini"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        choose(true, 6, QString());
        clickApply();
        const QByteArray first = readFile(scene->path("locale.ini"));
        QCOMPARE(first, QByteArray("WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n"));

        writeFile(scene->path("locale.ini"), first + "ADDED =1\r\n");
        clickApply();
        QCOMPARE(readFile(scene->path("locale.ini")), first);
        QCOMPARE(scene->entries(), QStringList{"locale.ini"});
        QCOMPARE(QFile::permissions(scene->path("locale.ini")) & modeBits,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }

    void symbolicLinkKeepsItsTarget()
    {
        QVERIFY(QDir(scene->dir.path()).mkdir("game"));
        writeFile(scene->path("game/real.ini"), otherProgramsFile);
        QVERIFY(QFile::link("game/real.ini", scene->path("locale.ini")));
        clickApply();
        QCOMPARE(QFileInfo(scene->path("locale.ini")).symLinkTarget(), scene->path("game/real.ini"));
        QCOMPARE(readFile(scene->path("game/real.ini")), appliedNothing);
        QCOMPARE(QDir(scene->path("game")).entryList(QDir::Files | QDir::Hidden), QStringList{"real.ini"});
    }

    void combo1EditsWriteSilently()
    {
        pressKey(Qt::Key_Tab);
        QCOMPARE(focused(), QString("Combo1"));
        const QString file = scene->path("locale.ini");

        QTest::keyClicks(QApplication::focusWidget(), "1");
        QCOMPARE(readFile(file), appliedNothing);
        QVERIFY(QFile::remove(file));
        pressKey(Qt::Key_Backspace);
        QCOMPARE(readFile(file), appliedNothing);
        QVERIFY(QFile::remove(file));
        QGuiApplication::clipboard()->setText("pasted");
        pressKey(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(readFile(file), appliedNothing);
        QVERIFY(QFile::remove(file));

        pressKey(Qt::Key_Down); // picking an entry is not an edit
        QCOMPARE(control<QComboBox>(form.get(), "Combo1")->currentText(), QString("0"));
        QVERIFY(!QFile::exists(file));
        QVERIFY(scene->shown.isEmpty());

        // Typing in the visible Combo4 writes nothing either.
        choose(false, 0, "800x600x16");
        QVERIFY(!QFile::exists(file));
        QCOMPARE(combo4()->count(), 10);
    }

    void enterActsOnlyOnButtonsAndEscNever()
    {
        for (auto *widget : QList<QWidget *>{combo4(), check1()}) {
            widget->setFocus();
            pressKey(Qt::Key_Return);
            pressKey(Qt::Key_Enter);
            pressKey(Qt::Key_Escape);
        }
        QCOMPARE(check1()->checkState(), Qt::Unchecked);
        QVERIFY(!QFile::exists("locale.ini"));
        QVERIFY(scene->shown.isEmpty());

        command1()->setFocus();
        pressKey(Qt::Key_Escape);
        QVERIFY(form->isVisible());
        QVERIFY(scene->shown.isEmpty());
        pressKey(Qt::Key_Return);
        QCOMPARE(scene->shown.size(), 1);
        pressKey(Qt::Key_Space);
        QCOMPARE(scene->shown.size(), 2);
        QCOMPARE(readFile(scene->path("locale.ini")), appliedNothing);
    }

    void closingWritesNothing()
    {
        writeFile(scene->path("locale.ini"), otherProgramsFile);
        choose(true, 3, QString());
        QVERIFY(form->close());
        QCOMPARE(readFile(scene->path("locale.ini")), otherProgramsFile);
        QCOMPARE(scene->entries(), QStringList{"locale.ini"});
    }

    // The real boxes, found and dismissed as a user would.
    void realMessageBoxes()
    {
        setMessageObserver({});
        QList<std::tuple<QMessageBox::Icon, QString, QString, QMessageBox::StandardButtons>> seen;
        const auto dismissNextBox = [&] {
            QTimer::singleShot(0, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QVERIFY(box);
                seen.append({box->icon(), box->windowTitle(), box->text(), box->standardButtons()});
                QTest::keyClick(box, Qt::Key_Return);
            });
        };
        dismissNextBox();
        clickApply();
        QVERIFY(QFile::remove("locale.ini"));
        QVERIFY(QDir(scene->dir.path()).mkdir("locale.ini"));
        dismissNextBox();
        clickApply();

        QCOMPARE(seen.size(), 2);
        QCOMPARE(std::get<0>(seen[0]), QMessageBox::Information);
        QCOMPARE(std::get<1>(seen[0]), QString("Korvane Resolution Changer"));
        QCOMPARE(std::get<2>(seen[0]), QString("Changes Applied!"));
        QCOMPARE(std::get<3>(seen[0]), QMessageBox::Ok);
        QCOMPARE(std::get<0>(seen[1]), QMessageBox::Critical);
        QCOMPARE(std::get<1>(seen[1]), QString("Korvane Resolution Changer"));
        QCOMPARE(std::get<2>(seen[1]), QString("Error 21: cannot write \"locale.ini\": Is a directory"));
        QCOMPARE(std::get<3>(seen[1]), QMessageBox::Ok);
        QVERIFY(form->isVisible());
    }

    // Failures: each one real. The old file stays byte for byte, nothing is left behind.
    void readOnlyFileIsRefused()
    {
        writeFile(scene->path("locale.ini"), otherProgramsFile);
        QVERIFY(QFile::setPermissions(scene->path("locale.ini"), QFile::ReadOwner | QFile::ReadGroup));
        choose(true, 6, QString());
        clickApply();
        verifyRefused("Error 13: cannot write \"locale.ini\": Permission denied");
        QCOMPARE(readFile(scene->path("locale.ini")), otherProgramsFile);
        QCOMPARE(QFile::permissions(scene->path("locale.ini")) & modeBits, QFile::ReadOwner | QFile::ReadGroup);
        QCOMPARE(scene->entries(), QStringList{"locale.ini"});
    }

    void writeFailingHalfWayKeepsTheOldFile()
    {
        writeFile(scene->path("locale.ini"), otherProgramsFile);
        choose(true, 6, QString());

        // The new file may grow to 12 bytes only: the write fails inside line one.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        tiny.rlim_cur = 12;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
        clickApply();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        verifyRefused("Error 27: cannot write \"locale.ini\": File too large");
        QCOMPARE(readFile(scene->path("locale.ini")), otherProgramsFile);
        QCOMPARE(scene->entries(), QStringList{"locale.ini"});
    }

    // Root may write anywhere, so the child drops to an unprivileged user.
    void unwritableFolderIsRefused_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::newRow("no locale.ini yet") << false;
        QTest::newRow("writable locale.ini") << true;
    }

    void unwritableFolderIsRefused()
    {
        QFETCH(bool, fileExists);
        const QString folder = scene->path("game");
        QVERIFY(QDir(scene->dir.path()).mkdir("game"));
        if (fileExists) {
            writeFile(folder + "/locale.ini", otherProgramsFile);
            QVERIFY(QFile::setPermissions(folder + "/locale.ini", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                          | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
        }
        const auto readAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                  | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(scene->dir.path(), readAndEnter));
        QVERIFY(QFile::setPermissions(folder, readAndEnter));

        QProcess child;
        child.setWorkingDirectory(folder);
        if (geteuid() == 0)
            child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", APPLY_HELPER});
        else
            child.start(APPLY_HELPER, QStringList());
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        const QString report = QString::fromUtf8(child.readAllStandardOutput());
        QCOMPARE(report, QString("critical: Error 13: cannot write \"locale.ini\": Permission denied\n"
                                 "window still open\n"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 fileExists ? QStringList{"locale.ini"} : QStringList());
        if (fileExists)
            QCOMPARE(readFile(folder + "/locale.ini"), otherProgramsFile);
        QFile::setPermissions(folder, readAndEnter | QFile::WriteOwner);
        QFile::setPermissions(scene->dir.path(), readAndEnter | QFile::WriteOwner);
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
