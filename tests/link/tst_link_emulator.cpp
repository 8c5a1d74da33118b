// The main window against the project's adapter emulator, a separate process serving a
// pseudo-terminal: connecting, a typed frame and its answer, an unplugged adapter.

#include "LinkHarness.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace linktest;

namespace {
// The emulator, running for as long as this lives; device() is the line it serves.
class Emulator
{
public:
    explicit Emulator(const QStringList &args)
    {
        m_process.start(QStringLiteral(EMULATOR_PATH), args);
        QByteArray out;
        while (!out.contains('\n') && m_process.waitForReadyRead(kTimeout))
            out += m_process.readAllStandardOutput();
        m_device = QString::fromLocal8Bit(out.left(out.indexOf('\n')));
    }
    ~Emulator()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(kTimeout))
                m_process.kill();
        }
    }
    QString device() const { return m_device; }

private:
    QProcess m_process;
    QString m_device;
};
} // namespace

class TestLinkEmulator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk")); }
    void connectTo_data();
    void connectTo();
    void typedFrames();
    void unplugged();
};

void TestLinkEmulator::connectTo_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("transcript");
    const QString found = QStringLiteral("Connessione stabilita");
    const QString notFound = QStringLiteral("Connessione chiusa (L4686SDK non trovata)");
    QTest::newRow("answers") << QStringList() << found << QStringLiteral("*#*1##\r\n");
    QTest::newRow("answers byte by byte")
        << QStringList{QStringLiteral("--split")} << found << QStringLiteral("*#*1##\r\n");
    QTest::newRow("silent") << QStringList{QStringLiteral("--silent")} << notFound << QString();
    QTest::newRow("answers too late")
        << QStringList{QStringLiteral("--delay"), QStringLiteral("300")} << notFound << QString();
}

void TestLinkEmulator::connectTo()
{
    QFETCH(QStringList, args);
    QFETCH(QString, status);
    QFETCH(QString, transcript);
    Emulator emulator(args);
    QVERIFY(emulator.device().startsWith(QLatin1String("/dev/")));
    TestSettings settings;
    auto w = windowOn(settings, emulator.device());
    BoxWatcher boxes;

    click(*w, Connect);

    QCOMPARE(panel(*w, 1), status);
    QCOMPARE(w->link().isPortOpen(), !transcript.isEmpty());
    QCOMPARE(w->transcript().text(), transcript);
    QVERIFY(boxes.boxes.isEmpty());
}

void TestLinkEmulator::typedFrames()
{
    Emulator emulator({});
    TestSettings settings;
    auto w = windowOn(settings, emulator.device(), "en");
    click(*w, Connect);
    QCOMPARE(panel(*w, 1), QStringLiteral("Connection established"));

    // Each answer lands on the line of the frame typed before it.
    QTest::keyClicks(w->Trx(), QStringLiteral("*1*1*11##"));
    QTRY_COMPARE_WITH_TIMEOUT(w->transcript().text(),
                              QStringLiteral("*#*1##\r\n*1*1*11##*#*1##\r\n"), kTimeout);
    QTest::keyClicks(w->Trx(), QStringLiteral("12##"));
    QTRY_COMPARE_WITH_TIMEOUT(w->transcript().text(),
                              QStringLiteral("*#*1##\r\n*1*1*11##*#*1##\r\n12##*#*0##\r\n"),
                              kTimeout);
}

void TestLinkEmulator::unplugged()
{
    Emulator emulator({QStringLiteral("--events"), QStringLiteral("50"),
                       QStringLiteral("--hangup-after"), QStringLiteral("1000")});
    TestSettings settings;
    auto w = windowOn(settings, emulator.device());
    BoxWatcher boxes;
    click(*w, Connect);
    QVERIFY(w->link().interfaceAnswered());

    QTRY_VERIFY_WITH_TIMEOUT(!w->link().isPortOpen(), kTimeout);
    QVERIFY(showsClosed(*w));
    QCOMPARE(panel(*w, 1), QStringLiteral("Connessione chiusa"));
    const QString text = w->transcript().text();
    const QRegularExpression failure(QStringLiteral("\\r\\n-?\\d+-([^\\r\\n]+)\\r\\n"));
    QCOMPARE(text.count(failure), 1);
    const QRegularExpressionMatch m = failure.match(text);
    QVERIFY2(text.endsWith(m.captured(0)), qPrintable(text.right(200)));
    QCOMPARE(m.captured(1), QStringLiteral("The device was disconnected"));
    QVERIFY(!QTest::qWaitFor([&] { return w->transcript().text() != text; }, kQuiet));
    QVERIFY(boxes.boxes.isEmpty());
}

QTEST_MAIN(TestLinkEmulator)
#include "tst_link_emulator.moc"
