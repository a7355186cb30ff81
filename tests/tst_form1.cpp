#include "app/form1.h"
#include "platform/messages.h"

#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QByteArray nothingChosen = "WINDOWED =0\r\nRESOLUTION =\r\n";
const QByteArray oldFile = "[Display]\r\nWINDOWED =1\r\nRESOLUTION =640x480x16\r\nGAMMA =1.2\r\n";
const auto rw = QFile::ReadOwner | QFile::WriteOwner, rwx = rw | QFile::ExeOwner;

// Stands in for the game: logs its name, arguments, folder and parent, then lingers.
const QByteArray gameScript = R"sh(#!/bin/sh
printf '%s|%s|%s|%s\n' "$(basename "$0")" "$*" "$(pwd)" "$PPID" >> "$KORVANE_LOG"
sleep 2
)sh";

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString &path, const QByteArray &bytes, QFile::Permissions mode = rw)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    QVERIFY(QFile::setPermissions(path, mode));
}

void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

QString focused() { return QApplication::focusWidget()->objectName(); }

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Form1> form;
    QStringList shown;

    template <typename T = QWidget> T *w(const char *name) { return form->findChild<T *>(name); }
    QString at(const QString &name) const { return dir->filePath(name); }
    QStringList entries(const QString &folder) const { return QDir(at(folder)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden); }
    QStringList started() const { return QString(QFile::exists(at("starts.log")) ? contents(at("starts.log")) : "").split('\n', Qt::SkipEmptyParts); }
    void click(const char *button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }

    void chooseWindowed1024x768x32()
    {
        w<QCheckBox>("Check1")->setChecked(true);
        w<QComboBox>("Combo4")->setCurrentIndex(5);
    }

    // After any failure: one report, no confirmation, the window open, the choice kept.
    void verifyReported(const QString &report)
    {
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith("critical: " + report), qPrintable(shown[0]));
        QVERIFY(form->isVisible());
        QVERIFY(w<QCheckBox>("Check1")->isChecked());
    }

private slots:
    void initTestCase() { QApplication::setApplicationDisplayName("Korvane Resolution Changer"); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(dir->path());
        qputenv("KORVANE_LOG", at("starts.log").toLocal8Bit());
        qputenv("PATH", "/usr/bin:/bin");
        shown.clear();
        setMessageObserver([this](const ShownMessage &message) {
            shown << (message.icon == QMessageBox::Critical ? "critical: " : "information: ") + message.text;
        });
        form = std::make_unique<Form1>();
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup()
    {
        form.reset();
        QDir::setCurrent(QDir::rootPath());
        dir.reset();
    }

    void windowAsDesigned()
    {
        // The frame, its size and the pictures on screen are checked in a real X session.
        const QMap<QString, QRect> pixels = {
            {"Image2", {40, 72, 101, 25}},   {"Check1", {16, 72, 17, 25}},    {"Image1", {8, 112, 101, 25}},
            {"Combo4", {104, 112, 145, 21}}, {"Command1", {0, 176, 137, 57}}, {"Command3", {136, 176, 137, 57}},
            {"Combo1", {600, 128, 145, 21}}, {"Command2", {568, 192, 137, 65}}};
        for (auto it = pixels.begin(); it != pixels.end(); ++it)
            QCOMPARE(w(qPrintable(it.key()))->geometry(), it.value());
        QCOMPARE(w<QLabel>("Image1")->pixmap().size(), QSize(101, 25));
        QVERIFY(w("Combo4")->isAncestorOf(form->childAt(106, 120))); // the label lies beneath

        QCOMPARE(focused(), QString("Command1"));
        auto *check1 = w<QCheckBox>("Check1");
        QCOMPARE(check1->checkState(), Qt::Unchecked);
        QCOMPARE(check1->grab().toImage().pixelColor(1, 1), QColor(255, 192, 128));
        int outOfSight = 0;
        for (QWidget *child : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            outOfSight += child->isVisible() && child->isEnabled() && child->x() >= 269;
        QCOMPARE(outOfSight, 2 + 57);
        const QList<std::pair<const char *, QStringList>> lists = {
            {"Combo4", {"640x480x16", "640x480x32", "800x600x16", "800x600x32", "1024x768x16", "1024x768x32",
                        "1280x1024x16", "1280x1024x32", "1600x1200x16", "1600x1200x32"}},
            {"Combo1", {"0", "1"}}};
        for (const auto &[name, items] : lists) {
            w(name)->setFocus(); // the hidden ones are made on first focus
            auto *combo = w<QComboBox>(name);
            QStringList listed;
            for (int i = 0; i < combo->count(); ++i)
                listed << combo->itemText(i);
            QCOMPARE(listed, items);
            QCOMPARE(combo->currentIndex(), -1);
            QCOMPARE(combo->currentText(), QString("Select below."));
        }
    }

    void focusOrderAndTheHiddenDemo()
    {
        put("korvane_demo.exe", gameScript, rwx);
        QStringList stops{focused()};
        for (int i = 0; i < 63; ++i) {
            key(Qt::Key_Tab);
            stops << focused();
            if (i == 37)
                key(Qt::Key_Space); // on Command2: starts the demo
        }
        QTRY_COMPARE(started().size(), 1);
        QCOMPARE(started()[0].section('|', 0, 2), "korvane_demo.exe||" + dir->path());
        QCOMPARE(QSet<QString>(stops.begin(), stops.end()).size(), 63);
        QCOMPARE(stops.mid(0, 7), QStringList({"Command1", "Combo1", "Combo2", "Combo3", "Check1", "Combo4", "Combo5"}));
        QCOMPARE(stops.mid(14, 7), QStringList({"Combo13", "Check2", "Check3", "Check4", "Check5", "Check6", "Combo14"}));
        QCOMPARE(stops.mid(37, 3), QStringList({"Combo31", "Command2", "Combo32"}));
        QCOMPARE(stops.mid(61, 3), QStringList({"Combo54", "Command3", "Command1"}));
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), QString("Command3"));

        // A hidden control keeps what was typed into it when the focus comes back.
        w("Combo2")->setFocus();
        QTest::keyClicks(w("Combo2"), "x");
        key(Qt::Key_Tab);
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(w<QComboBox>("Combo2")->currentText(), QString("Select below.x"));
    }

    void namesForScreenReaders()
    {
        const QList<std::pair<const char *, QString>> names = {
            {"Command1", "Apply"}, {"Command3", "Run game"},  {"Command2", "Run the demo"},
            {"Image2", "Windowed"}, {"Image1", "Resolution"}, {"Check1", "Windowed"}};
        w("Command2")->setFocus(); // made on first focus, and must keep its name
        for (const auto &[name, expected] : names)
            QCOMPARE(QAccessible::queryAccessibleInterface(w(name))->text(QAccessible::Name), expected);
        const auto labelledBy = [&](const char *name) {
            const auto relations = QAccessible::queryAccessibleInterface(w(name))->relations(QAccessible::Label);
            return relations.isEmpty() ? QString() : relations.first().first->object()->objectName();
        };
        QCOMPARE(labelledBy("Check1"), QString("Image2"));
        QCOMPARE(labelledBy("Combo4"), QString("Image1")); // on Linux its name is its text
    }

    // The choice made with keys: Down walks the list from "no entry"; Ctrl+A and typing replace the text.
    void applyWritesWhatIsShown_data()
    {
        QTest::addColumn<Qt::CheckState>("windowed");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("1024x768x32 windowed") << Qt::Checked << 6 << QString() << QByteArray("WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n");
        QTest::newRow("800x600x32 full screen") << Qt::Unchecked << 4 << QString() << QByteArray("WINDOWED =0\r\nRESOLUTION =800x600x32\r\n");
        QTest::newRow("greyed, last entry") << Qt::PartiallyChecked << 12 << QString() << QByteArray("WINDOWED =1\r\nRESOLUTION =1600x1200x32\r\n");
        QTest::newRow("nothing chosen") << Qt::Unchecked << 0 << QString() << nothingChosen;
        QTest::newRow("typed exactly") << Qt::Unchecked << 0 << "640x480x32" << QByteArray("WINDOWED =0\r\nRESOLUTION =640x480x32\r\n");
        QTest::newRow("picked, then typed over") << Qt::Unchecked << 6 << "1024x768" << nothingChosen;
        QTest::newRow("typed in capitals") << Qt::Unchecked << 0 << "640X480X16" << nothingChosen;
    }

    void applyWritesWhatIsShown()
    {
        QFETCH(Qt::CheckState, windowed);
        QFETCH(int, downs);
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);
        w<QCheckBox>("Check1")->setTristate(windowed == Qt::PartiallyChecked);
        w<QCheckBox>("Check1")->setCheckState(windowed);
        w("Combo4")->setFocus();
        for (int i = 0; i < downs; ++i)
            key(Qt::Key_Down);
        if (!typed.isNull()) {
            key(Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), typed);
            key(Qt::Key_Return);
        }
        QVERIFY(!QFile::exists("locale.ini")); // choosing alone writes nothing
        click("Command1");
        QCOMPARE(contents("locale.ini"), expected);
        QCOMPARE(shown, QStringList("information: Changes Applied!"));
        QCOMPARE(w<QComboBox>("Combo4")->count(), 10);
    }

    void applyReplacesTheFileInPlace()
    {
        // A link to the game's own file: the link stays, its target is replaced, its mode kept.
        QVERIFY(QDir(dir->path()).mkdir("game"));
        put(at("game/real.ini"), oldFile, rw | QFile::ReadGroup);
        QVERIFY(QFile::link("game/real.ini", "locale.ini"));
        chooseWindowed1024x768x32();
        click("Command1");
        const QByteArray first = contents("locale.ini");
        QCOMPARE(first, QByteArray("WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n"));
        put(at("game/real.ini"), first + "ADDED =1\r\n", rw | QFile::ReadGroup);
        click("Command1");
        QCOMPARE(contents(at("game/real.ini")), first);
        QCOMPARE(QFileInfo("locale.ini").symLinkTarget(), at("game/real.ini"));
        QCOMPARE(entries("game"), QStringList("real.ini"));
        QCOMPARE(QFile::permissions(at("game/real.ini")) & (rwx | QFile::ReadGroup | QFile::WriteGroup), rw | QFile::ReadGroup);
    }

    void combo1EditsWriteSilently()
    {
        key(Qt::Key_Tab);
        QCOMPARE(focused(), QString("Combo1"));
        QGuiApplication::clipboard()->setText("pasted");
        const QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> edits = {
            {Qt::Key_1, {}}, {Qt::Key_Backspace, {}}, {Qt::Key_V, Qt::ControlModifier}};
        for (const auto &[edit, modifiers] : edits) {
            key(edit, modifiers);
            QCOMPARE(contents("locale.ini"), nothingChosen);
            QVERIFY(QFile::remove("locale.ini"));
        }
        key(Qt::Key_Down); // picking an entry is not an edit
        QCOMPARE(w<QComboBox>("Combo1")->currentText(), QString("0"));
        w("Combo4")->setFocus();
        QTest::keyClicks(w("Combo4"), "800x600x16"); // nor is typing in Combo4
        QVERIFY(!QFile::exists("locale.ini"));
        QVERIFY(shown.isEmpty());
    }

    void enterOnlyOnButtonsEscNowhereCloseWritesNothing()
    {
        for (const char *name : {"Combo4", "Check1", "Command1"}) {
            w(name)->setFocus();
            key(Qt::Key_Escape);
            if (QByteArray(name) != "Command1")
                key(Qt::Key_Return);
        }
        QVERIFY(shown.isEmpty() && !QFile::exists("locale.ini") && form->isVisible());
        key(Qt::Key_Return);
        key(Qt::Key_Space);
        QCOMPARE(shown.size(), 2);
        put("locale.ini", oldFile);
        QVERIFY(form->close());
        QCOMPARE(contents("locale.ini"), oldFile);
    }

    // Each failure is real. The old file stays byte for byte, and nothing is left beside it.
    void failedWritesKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("report");
        QTest::newRow("read-only") << "Error 13: cannot write \"locale.ini\": Permission denied";
        QTest::newRow("half-way") << "Error 27: cannot write \"locale.ini\": File too large";
    }

    void failedWritesKeepTheOldFile()
    {
        QFETCH(QString, report);
        const bool readOnly = report.contains("Permission");
        put("locale.ini", oldFile, readOnly ? QFile::ReadOwner : rw);
        chooseWindowed1024x768x32();
        // Half-way: the new file may grow to 12 bytes only, so line one fails.
        rlimit saved{}, tiny{};
        getrlimit(RLIMIT_FSIZE, &saved);
        tiny = {readOnly ? saved.rlim_cur : 12, saved.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
        click("Command1");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);

        verifyReported(report);
        QCOMPARE(contents("locale.ini"), oldFile);
        QCOMPARE(QFile::permissions("locale.ini") & rwx, readOnly ? QFile::ReadOwner : rw);
        QCOMPARE(entries("."), QStringList("locale.ini"));
    }

    // Root may write anywhere, so the child drops to an unprivileged user.
    void unwritableFolderIsRefused()
    {
        QVERIFY(QDir().mkdir("game"));
        put(at("game/locale.ini"), oldFile, QFile::Permissions(0x6666)); // writable by anyone
        const auto enterOnly = QFile::Permissions(0x5555); // r-x for everyone
        const QString helper = at("apply_helper"); // where the other user can reach it
        QVERIFY(QFile::copy(APPLY_HELPER, helper) && QFile::setPermissions(helper, enterOnly));
        QVERIFY(QFile::setPermissions(dir->path(), enterOnly) && QFile::setPermissions(at("game"), enterOnly));
        QProcess child;
        child.setWorkingDirectory(at("game"));
        if (geteuid() == 0)
            child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", helper});
        else
            child.start(helper, QStringList());
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(QString(child.readAllStandardOutput()),
                 "critical: Error 13: cannot write \"locale.ini\": Permission denied\nwindow still open\n");
        QCOMPARE(contents(at("game/locale.ini")), oldFile);
        QCOMPARE(entries("game"), QStringList("locale.ini"));
        QFile::setPermissions(at("game"), enterOnly | rw);
        QFile::setPermissions(dir->path(), enterOnly | rw);
    }

    void runGameStartsOneCopyPerClick()
    {
        put("korvane.exe", gameScript, rwx);
        put("locale.ini", oldFile);
        QElapsedTimer clock;
        clock.start();
        click("Command3");
        click("Command3");
        QVERIFY2(clock.elapsed() < 1500, "a click waited for the game");
        QTRY_COMPARE(started().size(), 2);
        for (const QString &start : started())
            QCOMPARE(start.section('|', 0, 2), "korvane.exe||" + dir->path());
        QVERIFY(started()[0].section('|', 3).toInt() != getpid()); // not ours to reap
        QCOMPARE(contents("locale.ini"), oldFile);
        QVERIFY(shown.isEmpty());
    }

    void gameIsFound_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("expected"); // %1: the folder it ran in
        QTest::newRow("along PATH") << "bin/korvane.exe" << "korvane.exe||%1";
        QTest::newRow("awkward folder") << "Korvane's \"Game\" $HOME `id` & co/korvane.exe" << "korvane.exe||%1";
        QTest::newRow("Windows program") << "korvane.exe" << "wine|%1/korvane.exe|%1";
    }

    void gameIsFound()
    {
        QFETCH(QString, where);
        QFETCH(QString, expected);
        QVERIFY(QDir().mkpath(QFileInfo(at(where)).path()) && QDir().mkpath("bin"));
        qputenv("PATH", (at("bin") + ":/usr/bin:/bin").toLocal8Bit());
        const bool windows = where == "korvane.exe";
        put(at(where), windows ? QByteArray("MZ\x90\0", 4) : gameScript, windows ? rw : rwx);
        if (windows)
            put(at("bin/wine"), gameScript, rwx);
        else if (!where.startsWith("bin/"))
            QDir::setCurrent(QFileInfo(at(where)).path());
        click("Command3");
        QTRY_COMPARE(started().size(), 1);
        QCOMPARE(started()[0].section('|', 0, 2), expected.arg(QDir::currentPath()));
        QVERIFY(shown.isEmpty());
    }

    void startFailuresLeaveTheWindowOpen_data()
    {
        QTest::addColumn<QByteArray>("content"); // "dir" makes a folder; empty makes nothing
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("report"); // %1: the file's full path
        QTest::newRow("missing") << QByteArray() << 0 << "Error 2: cannot start \"korvane.exe\": No such file or directory (looked in the current folder and along PATH)";
        QTest::newRow("a folder") << QByteArray("dir") << 0 << "Error 21: cannot start \"%1\": Is a directory";
        QTest::newRow("not executable") << gameScript << int(rw) << "Error 13: cannot start \"%1\": Permission denied (the file is not marked executable)";
        QTest::newRow("unknown format") << QByteArray("\x7f" "ELF, not really") << int(rwx) << "Error 8: cannot start \"%1\": Exec format error";
        QTest::newRow("no interpreter") << QByteArray("#!/nowhere/sh\n") << int(rwx) << "Error 2: cannot start \"%1\": No such file or directory";
        QTest::newRow("Windows, no wine") << QByteArray("MZ") << int(rw) << "Error 8: cannot start \"%1\": it is a Windows program, and wine is needed to start it (no wine was found on PATH)";
    }

    void startFailuresLeaveTheWindowOpen()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, mode);
        QFETCH(QString, report);
        if (content == "dir")
            QVERIFY(QDir().mkdir("korvane.exe"));
        else if (!content.isEmpty())
            put("korvane.exe", content, QFile::Permissions::fromInt(mode));
        put("bin-korvane.exe", gameScript, rw); // along PATH it must be executable to count
        QVERIFY(QDir().mkdir("bin") && QFile::rename("bin-korvane.exe", "bin/korvane.exe"));
        qputenv("PATH", (at("bin") + ":/usr/bin:/bin").toLocal8Bit());
        w<QCheckBox>("Check1")->setChecked(true);
        click("Command3");
        verifyReported(report.replace("%1", at("korvane.exe")));
        QTest::qWait(100);
        QVERIFY(started().isEmpty());
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
