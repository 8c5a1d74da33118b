// Start-up of the real program against bad lock files, one left by a killed copy, and under
// other names: only a running copy stops a start.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TstStartLock : public QObject
{
    Q_OBJECT

    const QString m_program = QStringLiteral(TELVO_PROGRAM);
    QTemporaryDir m_names;                 // the program under other names
    std::unique_ptr<QTemporaryDir> m_home; // per test: run/ (the lock) and the settings file
    QString path(const QString &name) const { return m_home->filePath(name); }

    void start(QProcess &process, QStringList command)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, path(u"run"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, m_home->path());
        process.setProcessEnvironment(env);
        process.start(command.takeFirst(), command);
    }

    // Waits until the main window has loaded (it stores the port) or the process has ended.
    bool showsWindow(QProcess &process)
    {
        const QString ini = path(u"Telvo4686Sdk.ini"_s);
        for (QDeadlineTimer guard(30000);
             process.state() != QProcess::NotRunning && !QFile::exists(ini) && !guard.hasExpired();)
            process.waitForFinished(20);
        return process.state() == QProcess::Running && QFile::exists(ini);
    }

    // Nothing for a null `content`, a folder for "/", what a killed copy leaves for "killed".
    bool putLock(const QByteArray &content)
    {
        QFile lock(path(u"run/Telvo4686Sdk.lock"_s));
        if (content == "killed") {
            QProcess copy;
            start(copy, {m_program});
            const bool shown = showsWindow(copy);
            copy.kill();
            return copy.waitForFinished(30000) && shown && lock.exists() &&
                   QFile::remove(path(u"Telvo4686Sdk.ini"_s));
        }
        return content.isNull() || (content == "/" ? QDir().mkdir(lock.fileName())
                                                   : lock.open(QIODevice::WriteOnly) &&
                                                         lock.write(content) == content.size());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::link(m_program, m_names.filePath(u"other"_s)));
        QVERIFY(QFile::copy(m_program, m_names.filePath(u"Telvo4686Sdk.exe"_s)));
    }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(
            QDir().mkdir(path(u"run"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void start_data()
    {
        QTest::addColumn<QByteArray>("lock"); // "/": a folder in its place
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("said"); // on standard error, by a start that runs
        const QByteArray live = QByteArray::number(QCoreApplication::applicationPid());
        const QStringList self{m_program};
        const QStringList asNobody{u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s,
                                   u"--clear-groups"_s};
        QTest::newRow("a killed copy's") << "killed"_ba << self << u"taken over: process"_s;
        QTest::newRow("empty") << ""_ba << self << u"taken over: it is empty"_s;
        QTest::newRow("garbage") << "\1junk"_ba << self << u"it names no process"_s;
        QTest::newRow("a live pid on another host") << live + "\nTelvo4686Sdk\nelsewhere\n"
                                                    << self << u"names host elsewhere"_s;
        QTest::newRow("root's, unreadable") << "0\n"_ba << asNobody << u"may not read or write"_s;
        QTest::newRow("a folder") << "/"_ba << self << u"runs without it: it is not a file"_s;
        // While a first copy runs: the lock is named after the executable file itself.
        QTest::newRow("the same name") << QByteArray() << self << QString();
        QTest::newRow("symbolic link")
            << QByteArray() << QStringList{m_names.filePath(u"other"_s)} << QString();
        QTest::newRow("copy named .exe")
            << QByteArray() << QStringList{m_names.filePath(u"Telvo4686Sdk.exe"_s)} << QString();
        QTest::newRow("exec -a") << QByteArray()
                                 << QStringList{u"bash"_s, u"-c"_s, u"exec -a x \"$0\""_s,
                                                m_program}
                                 << QString();
    }

    void start()
    {
        QFETCH(QByteArray, lock);
        QFETCH(QStringList, command);
        QFETCH(QString, said);
        QVERIFY(putLock(lock));
        if (command.first() == u"setpriv"_s) {
            if (::geteuid() != 0)
                QSKIP("needs root, to run the program as another user");
            // nobody runs a copy of the program, in folders of its own; the lock stays root's.
            command << path(u"Telvo4686Sdk"_s);
            QVERIFY(QFile::copy(m_program, command.last()));
            QVERIFY(QFile::setPermissions(path(u"run/Telvo4686Sdk.lock"_s), QFile::ReadOwner));
            for (const QString &folder : {m_home->path(), path(u"run"_s)})
                QCOMPARE(::chown(qPrintable(folder), 65534, 65534), 0);
        }
        QProcess first, process;
        if (lock.isNull()) {
            start(first, {m_program});
            QVERIFY(showsWindow(first));
        }
        start(process, command);
        if (!lock.isNull()) {
            QVERIFY(showsWindow(process));
            process.kill();
        }
        QVERIFY(process.waitForFinished(30000));
        QVERIFY2(process.readAllStandardError().contains(said.toUtf8()), qPrintable(said));
        // A start that meets a running copy ends by itself, with status 0.
        QCOMPARE(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                 lock.isNull());
        QCOMPARE(first.state(), lock.isNull() ? QProcess::Running : QProcess::NotRunning);
        first.kill();
        first.waitForFinished(30000);
    }

    void fourAtOnce_data()
    {
        QTest::addColumn<QByteArray>("lock");
        QTest::newRow("no lock file") << QByteArray();
        QTest::newRow("garbage, taken over by one") << "x"_ba;
    }

    void fourAtOnce()
    {
        QFETCH(QByteArray, lock);
        QVERIFY(putLock(lock));
        QProcess starts[4];
        for (QProcess &process : starts)
            start(process, {m_program});
        const auto ended = [&] {
            return std::count_if(std::begin(starts), std::end(starts), [](QProcess &p) {
                return p.state() == QProcess::NotRunning && p.exitCode() == 0;
            });
        };
        QTRY_COMPARE_WITH_TIMEOUT(ended(), 3, 60000);
        for (QProcess &process : starts) {
            QVERIFY(process.state() == QProcess::NotRunning || showsWindow(process));
            process.kill();
            process.waitForFinished(30000);
        }
    }
};

QTEST_GUILESS_MAIN(TstStartLock)
#include "tst_startlock.moc"
