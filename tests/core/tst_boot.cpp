// Start-up: one copy of the program per program folder at a time, whatever
// the environment, and a crashed copy never blocks the next.
#include "TestSupport.h"

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
