// Start-up: one copy of the program per program folder at a time, whatever
// the environment, and a crashed copy never blocks the next; start.sh starts
// the program whatever the database does.
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

class TestBoot : public QObject {
    Q_OBJECT

    QString program() const { return testsupport::resourcesDir() + QStringLiteral("veltrane"); }

    void startProgram(QProcess &p)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        p.setProcessEnvironment(env);
        p.start(program(), {});
        QVERIFY(p.waitForStarted(5000));
    }

    QTemporaryDir m_runtime;

    // Starts `exe` with the run-time and temporary folders pointing at `envDir`.
    void startIn(QProcess &p, const QString &exe, const QString &envDir, bool asNobody = false)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), envDir);
        env.insert(QStringLiteral("TMPDIR"), envDir);
        p.setProcessEnvironment(env);
        if (asNobody)
            p.setChildProcessModifier([] {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
            });
        p.start(exe, {});
        QVERIFY(p.waitForStarted(5000));
    }

    static void stop(QProcess &p)
    {
        p.kill();
        p.waitForFinished(5000);
    }

    // A copy of the program alone in a folder of its own, readable by everyone.
    static QString programCopy(const QTemporaryDir &dir, const QString &source)
    {
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther
                                              | QFile::ReadGroup | QFile::ExeGroup);
        const QString exe = dir.filePath(QStringLiteral("veltrane"));
        return QFile::copy(source, exe) ? exe : QString();
    }

private slots:
    // start.sh makes a missing embedded database and leaves a server database
    // to the login window: with the server down, an unknown host or an
    // embedded database that can't be made, the program still starts. Run on
    // a copy of the script beside a program folder of its own (the real
    // librarydb, a stand-in for the program, no build).
    void startScriptAlwaysStartsTheProgram_data()
    {
        QTest::addColumn<QString>("settings");  // "" = no Server.ini
        QTest::addColumn<bool>("embeddedMade");
        QTest::addColumn<bool>("warned");
        QTest::newRow("server down") << "127.0.0.1,1|library|secret|Library" << false << false;
        QTest::newRow("unknown host") << "no-such-host.invalid|library|secret|Library" << false << false;
        QTest::newRow("embedded, missing") << "sqlite|library|library|Library" << true << false;
        QTest::newRow("embedded, blanks and case") << " SQLite |library|library|Library" << true << false;
        QTest::newRow("embedded, can't be made") << "sqlite|library|library|/proc/none/Library" << false << true;
        QTest::newRow("no settings file") << "" << false << false;
    }
    void startScriptAlwaysStartsTheProgram()
    {
        QFETCH(QString, settings);
        QFETCH(bool, embeddedMade);
        QFETCH(bool, warned);
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(QStringLiteral("scripts")) && dir.mkpath(QStringLiteral("build/bin/Saves")));
        auto script = [&dir](const QString &name, const QByteArray &body) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/usr/bin/env bash\n" + body);
            f.close();
            QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner));
        };
        QVERIFY(QFile::copy(QStringLiteral(SOURCE_DIR "start.sh"), dir.filePath(QStringLiteral("start.sh"))));
        script(QStringLiteral("scripts/setup.sh"), "exit 0\n");
        script(QStringLiteral("build/bin/veltrane"), "echo started > \"$(dirname \"$0\")/started\"\n");
        QVERIFY(QFile::copy(testsupport::resourcesDir() + QStringLiteral("librarydb"),
                            dir.filePath(QStringLiteral("build/bin/librarydb"))));
        if (!settings.isEmpty()) {
            QFile ini(dir.filePath(QStringLiteral("build/bin/Saves/Server.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write(settings.toUtf8() + "\r\n");
        }
        QProcess start;
        start.start(QStringLiteral("bash"), {dir.filePath(QStringLiteral("start.sh"))});
        QVERIFY(start.waitForFinished(20000));
        const QByteArray err = start.readAllStandardError();
        QVERIFY2(start.exitCode() == 0, err.constData());
        QVERIFY2(dir.exists(QStringLiteral("build/bin/started")), err.constData());
        QCOMPARE(dir.exists(QStringLiteral("build/bin/Library.db")), embeddedMade);
        QCOMPARE(err.contains("start.sh:"), warned);
    }

    void secondCopyEndsAtOnceAndSilently()
    {
        QProcess first;
        startProgram(first);
        QTest::qWait(1500);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        startProgram(second);
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardOutput().isEmpty());

        // A copy that crashed leaves no lock behind.
        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QProcess third;
        startProgram(third);
        QTest::qWait(1500);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        third.waitForFinished(5000);
    }

    void anotherEnvironmentDoesNotMakeASecondCopy()
    {
        QTemporaryDir a, b;
        QProcess first;
        startIn(first, program(), a.path());
        QTest::qWait(1500);
        QCOMPARE(first.state(), QProcess::Running);
        for (const QString &env : {b.path(), QString()}) {
            QProcess second;
            startIn(second, program(), env);
            QVERIFY(second.waitForFinished(5000));
            QCOMPARE(second.exitCode(), 0);
        }
        stop(first);
    }

    void eachProgramFolderHasItsOwnCopy()
    {
        QTemporaryDir folder;
        const QString copy = programCopy(folder, program());
        QVERIFY(!copy.isEmpty());
        QProcess here, there;
        startIn(here, program(), m_runtime.path());
        startIn(there, copy, m_runtime.path());
        QTest::qWait(1500);
        QCOMPARE(here.state(), QProcess::Running);
        QCOMPARE(there.state(), QProcess::Running);
        stop(here);
        stop(there);
    }

    void aFolderThatCannotBeWrittenStillStartsOneCopy()
    {
        // The folder is read-only to the user who runs the program: nobody,
        // when the tests run as root (root writes anywhere), else this user.
        QTemporaryDir folder;
        const QString copy = programCopy(folder, program());
        QVERIFY(!copy.isEmpty());
        const bool root = ::geteuid() == 0;
        if (!root) QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        QProcess first, second;
        startIn(first, copy, m_runtime.path(), root);
        QTest::qWait(1500);
        QCOMPARE(first.state(), QProcess::Running);
        startIn(second, copy, m_runtime.path(), root);
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("veltrane")});
        stop(first);
        if (!root) QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TestBoot)
#include "tst_boot.moc"
