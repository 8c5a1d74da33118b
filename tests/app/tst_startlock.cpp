// Start-up against every kind of lock file, and under every name: only a running copy of the
// program stops a start.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QString kProgram = QStringLiteral(TELVO_PROGRAM);

// A user's folders for the program: the runtime folder that holds the lock, and the settings.
struct Home
{
    QTemporaryDir dir;
    QString run() const { return dir.filePath(u"run"_s); }
    QString lock() const { return run() + u"/Telvo4686Sdk.lock"_s; }
    QString ini() const { return dir.filePath(u"Telvo4686Sdk.ini"_s); }
    Home() { QDir().mkdir(run(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
};

void start(QProcess &process, const Home &home, const QString &program, const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"XDG_RUNTIME_DIR"_s, home.run());
    env.insert(u"XDG_CONFIG_HOME"_s, home.dir.path());
    env.insert(u"HOME"_s, home.dir.path());
    process.setProcessEnvironment(env);
    process.start(program, args);
}

// Waits until the process has loaded its main window, which stores the port, or has ended.
bool showsWindow(QProcess &process, const Home &home)
{
    QDeadlineTimer deadline(30000);
    while (process.state() != QProcess::NotRunning && !QFile::exists(home.ini()) &&
           !deadline.hasExpired())
        process.waitForFinished(20);
    return process.state() == QProcess::Running && QFile::exists(home.ini());
}
} // namespace

class TstStartLock : public QObject
{
    Q_OBJECT

    QTemporaryDir m_names; // the program under other names

private Q_SLOTS:
    void badLock_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: a folder in its place
        QTest::addColumn<QString>("said");
        // Names this test, a live process, on another host.
        const QByteArray live = QByteArray::number(QCoreApplication::applicationPid());
        QTest::newRow("empty") << ""_ba << u"taken over: it is empty"_s;
        QTest::newRow("garbage") << "\x01garbage\n"_ba << u"taken over: it names no process"_s;
        QTest::newRow("another host") << live + "\nTelvo4686Sdk\nelsewhere\n"
                                      << u"taken over: it names host elsewhere"_s;
        QTest::newRow("root's, unreadable") << "0\n"_ba << u"taken over: this user may not"_s;
        QTest::newRow("a folder") << QByteArray() << u"runs without it: it is not a file"_s;
    }

    void badLock()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, said);
        Home home;
        QFile lock(home.lock());
        QVERIFY(content.isNull() ? QDir().mkdir(home.lock())
                                 : lock.open(QIODevice::WriteOnly) && lock.write(content) >= 0);
        lock.close();
        QString program = kProgram;
        QStringList args;
        if (QByteArray(QTest::currentDataTag()).startsWith("root's")) {
            if (::geteuid() != 0)
                QSKIP("needs root, to run the program as another user");
            // nobody runs a copy of the program from folders of its own.
            const QString copy = home.dir.filePath(u"Telvo4686Sdk"_s);
            QVERIFY(QFile::copy(kProgram, copy) && lock.setPermissions(QFile::ReadOwner));
            for (const QString &path : {home.dir.path(), home.run()})
                QCOMPARE(::chown(qPrintable(path), 65534, 65534), 0);
            program = u"setpriv"_s;
            args = QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, copy};
        }
        QProcess process;
        start(process, home, program, args);
        QVERIFY(showsWindow(process, home));
        process.kill();
        QVERIFY(process.waitForFinished(30000));
        QVERIFY2(process.readAllStandardError().contains(said.toUtf8()), qPrintable(said));
    }

    void oneCopyWhateverItsName_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        const QString link = m_names.filePath(u"other"_s);
        const QString copy = m_names.filePath(u"Telvo4686Sdk.exe"_s);
        QVERIFY(QFile::link(kProgram, link) && QFile::copy(kProgram, copy));
        QTest::newRow("symbolic link") << link << QStringList();
        QTest::newRow("copy named .exe") << copy << QStringList();
        QTest::newRow("exec -a") << u"bash"_s
                                 << QStringList{u"-c"_s, u"exec -a other \"$0\""_s, kProgram};
    }

    // The lock is named after the executable file, not after the name it was started under.
    void oneCopyWhateverItsName()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        Home home;
        QProcess first, second;
        start(first, home, kProgram, {});
        QVERIFY(showsWindow(first, home));
        start(second, home, program, args);
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
    }

    void fourAtOnce_data()
    {
        QTest::addColumn<bool>("garbage");
        QTest::newRow("no lock file") << false;
        QTest::newRow("a garbage lock file, taken over by one") << true;
    }

    void fourAtOnce()
    {
        QFETCH(bool, garbage);
        Home home;
        QFile lock(home.lock());
        QVERIFY(!garbage || (lock.open(QIODevice::WriteOnly) && lock.write("x") == 1));
        lock.close();
        QProcess starts[4];
        for (QProcess &process : starts)
            start(process, home, kProgram, {});
        const auto ended = [&] {
            return std::count_if(std::begin(starts), std::end(starts), [](QProcess &p) {
                return p.state() == QProcess::NotRunning && p.exitCode() == 0;
            });
        };
        QTRY_COMPARE_WITH_TIMEOUT(ended(), 3, 60000);
        for (QProcess &process : starts) {
            if (process.state() != QProcess::NotRunning)
                QVERIFY(showsWindow(process, home));
        }
    }
};

QTEST_GUILESS_MAIN(TstStartLock)
#include "tst_startlock.moc"
