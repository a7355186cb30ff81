#include "app/form1.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <memory>
#include <unistd.h>

namespace {

// Stands in for the game: records its arguments, folder and parent in the log
// named by KORVANE_LOG, then waits (at most 10 s) for a "release" file if asked.
const QByteArray recordingScript = R"sh(#!/bin/sh
printf '%s|%s|%s|%s\n' "$(basename "$0")" "$*" "$(pwd)" "$PPID" >> "$KORVANE_LOG"
if [ -n "$KORVANE_HOLD" ]; then
    for i in $(seq 100); do [ -e "$KORVANE_HOLD" ] && break; sleep 0.1; done
    echo released >> "$KORVANE_LOG"
fi
)sh";

const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

} // namespace

class LauncherTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Scene> scene;
    std::unique_ptr<Form1> form;
    QString log;
    QByteArray savedPath = qgetenv("PATH");

    void click(const char *button) { QTest::mouseClick(control<QPushButton>(form.get(), button), Qt::LeftButton); }
    QStringList started()
    {
        const QByteArray bytes = readFile(log);
        return bytes == "<missing>" ? QStringList() : QString::fromUtf8(bytes).split('\n', Qt::SkipEmptyParts);
    }
    void placeScript(const QString &path, QFile::Permissions permissions = executable)
    {
        writeFile(path, recordingScript);
        QVERIFY(QFile::setPermissions(path, permissions));
    }
    // A folder of our own first on PATH; the system's folders stay for sh and friends.
    QString binFolder()
    {
        QDir(scene->dir.path()).mkpath("bin");
        qputenv("PATH", (scene->path("bin") + ":/usr/bin:/bin").toLocal8Bit());
        return scene->path("bin");
    }

private slots:
    void initTestCase() { QApplication::setApplicationDisplayName("Korvane Resolution Changer"); }

    void init()
    {
        scene = std::make_unique<Scene>();
        log = scene->path("starts.log");
        qputenv("KORVANE_LOG", log.toLocal8Bit());
        qunsetenv("KORVANE_HOLD");
        qputenv("PATH", "/usr/bin:/bin");
        form = std::make_unique<Form1>();
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup()
    {
        form.reset();
        scene.reset();
        qputenv("PATH", savedPath);
    }

    void eachClickStartsOneIndependentCopy()
    {
        placeScript(scene->path("korvane.exe"));
        writeFile(scene->path("locale.ini"), "WINDOWED =1\r\nRESOLUTION =640x480x16\r\n");
        qputenv("KORVANE_HOLD", scene->path("release").toLocal8Bit());

        QElapsedTimer clock;
        clock.start();
        click("Command3");
        QVERIFY2(clock.elapsed() < 2000, "the click waited for the game");
        QTRY_COMPARE(started().size(), 1);
        click("Command3");
        QTRY_COMPARE(started().size(), 2);

        for (const QString &line : started()) {
            const QStringList fields = line.split('|');
            QCOMPARE(fields[0], QString("korvane.exe"));
            QCOMPARE(fields[1], QString()); // no arguments
            QCOMPARE(fields[2], scene->dir.path());
            QVERIFY(fields[3].toLongLong() != getpid()); // not our child: nothing to reap
        }
        // Both copies are still running while the window goes on working.
        QVERIFY(!started().contains("released"));
        QVERIFY(form->isVisible());
        writeFile(scene->path("release"), "");
        QTRY_COMPARE(started().count("released"), 2);

        QVERIFY(scene->shown.isEmpty());
        QCOMPARE(readFile(scene->path("locale.ini")), QByteArray("WINDOWED =1\r\nRESOLUTION =640x480x16\r\n"));
    }

    void demoThroughTheKeyboard()
    {
        placeScript(scene->path("korvane.exe"));
        placeScript(scene->path("korvane_demo.exe"));
        for (int i = 0; i < 38; ++i)
            pressKey(Qt::Key_Tab);
        pressKey(Qt::Key_Space);
        QTRY_COMPARE(started().size(), 1);
        QVERIFY(started()[0].startsWith("korvane_demo.exe||" + scene->dir.path() + "|"));
        QVERIFY(!QFile::exists(scene->path("locale.ini")));
    }

    void foundAlongPathWhenNotHere()
    {
        placeScript(binFolder() + "/korvane.exe");
        click("Command3");
        QTRY_COMPARE(started().size(), 1);
        QVERIFY(started()[0].startsWith("korvane.exe||" + scene->dir.path() + "|"));
        QVERIFY(scene->shown.isEmpty());
    }

    void folderWithAwkwardName()
    {
        const QString folder = scene->path("Korvane's \"Game\" $HOME `id` & co");
        QVERIFY(QDir().mkpath(folder));
        QDir::setCurrent(folder);
        placeScript(folder + "/korvane.exe");
        click("Command3");
        QTRY_COMPARE(started().size(), 1);
        QCOMPARE(started()[0].split('|')[2], folder);
    }

    void windowsProgramGoesThroughWine()
    {
        writeFile(scene->path("korvane.exe"), QByteArray("MZ\x90\0\3\0\0\0", 8)); // no execute bit needed
        writeFile(binFolder() + "/wine", recordingScript);
        QVERIFY(QFile::setPermissions(scene->path("bin/wine"), executable));

        click("Command3");
        QTRY_COMPARE(started().size(), 1);
        QVERIFY(started()[0].startsWith("wine|" + scene->path("korvane.exe") + "|" + scene->dir.path() + "|"));

        QVERIFY(QFile::remove(scene->path("bin/wine")));
        click("Command3");
        QCOMPARE(scene->shown.size(), 1);
        QCOMPARE(scene->shown[0].text,
                 QString("Error 8: cannot start \"%1\": it is a Windows program, and wine is needed to start it "
                         "(no wine was found on PATH)").arg(scene->path("korvane.exe")));
    }

    void failuresLeaveTheWindowOpen_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << "" << "Error 2: cannot start \"korvane.exe\": No such file or directory "
                                          "(looked in the current folder and along PATH)";
        QTest::newRow("a folder") << "folder" << "Error 21: cannot start \"%1\": Is a directory";
        QTest::newRow("not executable") << "plain" << "Error 13: cannot start \"%1\": Permission denied "
                                                      "(the file is not marked executable)";
        QTest::newRow("not on PATH unless executable") << "plain on PATH" << "Error 2: cannot start \"korvane.exe\"";
        QTest::newRow("unknown format") << "garbage" << "Error 8: cannot start \"%1\": ";
        QTest::newRow("missing interpreter") << "bad interpreter" << "Error 2: cannot start \"%1\": ";
    }

    void failuresLeaveTheWindowOpen()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, expected);
        const QString game = scene->path("korvane.exe");
        if (setUp == "folder")
            QVERIFY(QDir().mkdir(game));
        if (setUp == "plain")
            placeScript(game, QFile::ReadOwner | QFile::WriteOwner);
        if (setUp == "plain on PATH")
            placeScript(binFolder() + "/korvane.exe", QFile::ReadOwner | QFile::WriteOwner);
        if (setUp == "garbage")
            writeFile(game, "\x7f" "ELF but not really");
        if (setUp == "bad interpreter")
            writeFile(game, "#!/nonexistent/interpreter\n");
        if (setUp == "garbage" || setUp == "bad interpreter")
            QVERIFY(QFile::setPermissions(game, executable));
        control<QWidget>(form.get(), "Check1")->setFocus();
        pressKey(Qt::Key_Space);

        click("Command3");
        QCOMPARE(scene->shown.size(), 1);
        QCOMPARE(scene->shown[0].icon, QMessageBox::Critical);
        QVERIFY2(scene->shown[0].text.startsWith(QString(expected).replace("%1", game)), qPrintable(scene->shown[0].text));
        QVERIFY(form->isVisible());
        QCOMPARE(control<QCheckBox>(form.get(), "Check1")->checkState(), Qt::Checked);
        QTest::qWait(200);
        QVERIFY(started().isEmpty());
        QVERIFY(!QFile::exists(scene->path("locale.ini")));
    }
};

QTEST_MAIN(LauncherTest)
#include "tst_launcher.moc"
