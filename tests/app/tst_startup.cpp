// Start-up of the real program: one copy at a time, and a killed copy blocks nobody.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TstStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;
    QTemporaryDir m_config;

    // Starts the program and waits until its main window has loaded, which stores "Com".
    bool startAndLoad(QProcess &process)
    {
        const QString ini = m_config.filePath(QStringLiteral("Telvo4686Sdk.ini"));
        QFile::remove(ini);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(TELVO_PROGRAM), QStringList());
        process.waitForStarted(30000);
        QDeadlineTimer deadline(30000);
        while (process.state() == QProcess::Running && !QFile::exists(ini) &&
               !deadline.hasExpired())
            process.waitForFinished(20); // returns at once if it ends
        return process.state() == QProcess::Running && QFile::exists(ini);
    }

private Q_SLOTS:
    void oneCopyAtATime()
    {
        QProcess first;
        QVERIFY(startAndLoad(first));

        // A second copy ends at once, successfully, without touching the first.
        QProcess second;
        QVERIFY(!startAndLoad(second));
        QCOMPARE(second.state(), QProcess::NotRunning);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // The lock of a killed copy is no obstacle.
        first.kill();
        QVERIFY(first.waitForFinished(30000));
        QProcess third;
        QVERIFY(startAndLoad(third));
        third.terminate();
        QVERIFY(third.waitForFinished(30000));
    }
};

QTEST_GUILESS_MAIN(TstStartup)
#include "tst_startup.moc"
