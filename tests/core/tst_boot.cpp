// Start-up: one copy of the program at a time, and a crashed copy never blocks the next.
#include "TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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
};

QTEST_GUILESS_MAIN(TestBoot)
#include "tst_boot.moc"
