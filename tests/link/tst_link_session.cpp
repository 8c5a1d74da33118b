// A connected session through the main window, over a pseudo-terminal whose far end the test
// plays: how received bytes become transcript lines, typing, and losing the line.

#include "LinkHarness.h"
#include "link/LineHangup.h"

#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>

using namespace linktest;

namespace {
const QString kAnswered = QString::fromLatin1(kAck + "\r\n");

// One step of a session: bytes the adapter sends, or a command ("@clear", "@disconnect",
// "@connect"), then what the receive buffer and the transcript hold once it is handled.
struct Step
{
    QByteArray action;
    QString rxBuffer;
    QString transcript;
};
} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestLinkSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk")); }
    void init();
    void cleanup();
    void framing_data();
    void framing();
    void burst();
    void typing();
    void lineLost_data();
    void lineLost();
    void hangUpSeen();

private:
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<PtyPeer> m_peer;
    std::unique_ptr<FrmMain> m_w;
};

void TestLinkSession::init()
{
    m_settings = std::make_unique<TestSettings>();
    m_peer = std::make_unique<PtyPeer>();
    QVERIFY(m_peer->isValid());
    m_w = windowOn(*m_settings, m_peer->devicePath());
}

void TestLinkSession::cleanup()
{
    m_w.reset();
    m_peer.reset();
    m_settings.reset();
}

void TestLinkSession::framing_data()
{
    QTest::addColumn<QList<Step>>("steps");
    const QString a = kAnswered;
    QTest::newRow("frame in two reads")
        << QList<Step>{{"*1*1", "*1*1", a}, {"*11##", "", a + "*1*1*11##\r\n"}};
    QTest::newRow("two frames in one read") << QList<Step>{{"*1##*2##", "", a + "*1##*2##\r\n"}};
    QTest::newRow("a frame and the start of the next")
        << QList<Step>{{"*1##*2", "*1##*2", a}, {"##", "", a + "*1##*2##\r\n"}};
    QTest::newRow("frame end alone is kept")
        << QList<Step>{{"##", "##", a}, {"*5##", "", a + "##*5##\r\n"}};
    QTest::newRow("three characters") << QList<Step>{{"1##", "", a + "1##\r\n"}};
    QTest::newRow("bytes beyond ASCII")
        << QList<Step>{{"\xe9\x01\xff##", "", a + QString::fromLatin1("\xe9\x01\xff##\r\n")}};
    QTest::newRow("half frame across clear")
        << QList<Step>{{"*1*1", "*1*1", a}, {"@clear", "*1*1", ""}, {"*11##", "", "*1*1*11##\r\n"}};
    QTest::newRow("half frame across disconnect") << QList<Step>{
        {"*1*1", "*1*1", a}, {"@disconnect", "*1*1", a}, {"@connect", "", a + "*1*1" + kAnswered}};
}

void TestLinkSession::framing()
{
    QFETCH(QList<Step>, steps);
    FrmMain &w = *m_w;
    QVERIFY(connectAnswered(w, *m_peer));
    for (const Step &step : steps) {
        if (step.action == "@clear") {
            click(w, Clear);
        } else if (step.action == "@disconnect") {
            click(w, Disconnect);
            QVERIFY(showsClosed(w));
        } else if (step.action == "@connect") {
            QVERIFY(connectAnswered(w, *m_peer));
        } else {
            m_peer->write(step.action);
        }
        QTRY_COMPARE_WITH_TIMEOUT(w.link().rxBuffer(), step.rxBuffer, kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(w.transcript().text(), step.transcript, kTimeout);
    }
    QVERIFY(w.link().isPortOpen());
}

// A flood of short lines keeps the transcript and the view bounded, and the line alive.
void TestLinkSession::burst()
{
    FrmMain &w = *m_w;
    QVERIFY(connectAnswered(w, *m_peer));
    const QByteArray lines = QByteArray("\r\n*1##").repeated(10000);
    for (int i = 0; i < 10; ++i)
        m_peer->write(lines);
    // The marker is in once everything before it is.
    m_peer->write("*9*9*9");
    QTRY_VERIFY_WITH_TIMEOUT(w.link().rxBuffer().endsWith(QLatin1String("*9*9*9")), kTimeout);
    m_peer->write("##");
    QTRY_VERIFY_WITH_TIMEOUT(w.link().rxBuffer().isEmpty(), kTimeout);
    const QString text = w.transcript().text();
    QVERIFY(text.size() <= 10000);
    QVERIFY(text.size() > 9900);
    QVERIFY(text.count(QLatin1String("\r\n")) > 1000);
    QVERIFY(text.endsWith(QLatin1String("\r\n*1##*9*9*9##\r\n")));
    w.Trx()->flush();
    QCOMPARE(w.Trx()->toPlainText().size(), text.size());

    // A long run without a frame end: the buffer keeps only what the transcript could show.
    const QString before = w.transcript().text();
    for (int i = 0; i < 20; ++i)
        m_peer->write(QByteArray(50000, '7'));
    m_peer->write("*");
    QTRY_VERIFY_WITH_TIMEOUT(w.link().rxBuffer().endsWith(QLatin1String("7*")), kTimeout);
    QVERIFY(w.link().rxBuffer().size() <= 20000);
    QCOMPARE(w.transcript().text(), before);
    // Shown, it is one line longer than the limit whose only CR LF is its end: nothing stays.
    m_peer->write("##");
    QTRY_VERIFY_WITH_TIMEOUT(w.link().rxBuffer().isEmpty(), kTimeout);
    QCOMPARE(w.transcript().text(), QString());
    QVERIFY(w.link().isPortOpen());
}

void TestLinkSession::typing()
{
    FrmMain &w = *m_w;
    TerminalView *trx = w.Trx();

    // Closed: even frame keys do nothing.
    QTest::keyClicks(trx, QStringLiteral("5*#"));
    QVERIFY(w.transcript().text().isEmpty());

    // Probing: dropped until the answer is in, sent at once after it, before the wait ends.
    bool typedEarly = false;
    bool typedLate = false;
    QTimer typist;
    typist.setInterval(1);
    connect(&typist, &QTimer::timeout, &w, [&] {
        if (!w.link().isPortOpen())
            return;
        if (!typedEarly && !w.link().interfaceAnswered()) {
            QTest::keyClick(trx, '5');
            typedEarly = true;
        } else if (typedEarly && !typedLate && w.link().interfaceAnswered()) {
            QTest::keyClick(trx, '7');
            typedLate = true;
        }
    });
    typist.start();
    {
        ProbeAnswer adapter(*m_peer, kAck, 10);
        click(w, Connect);
        QCOMPARE(adapter.probe(), kProbe);
    }
    typist.stop();
    QVERIFY(typedEarly && typedLate);
    QVERIFY(w.link().interfaceAnswered());
    QCOMPARE(w.transcript().text(), kAnswered + QLatin1Char('7'));
    QCOMPARE(m_peer->readChunks(1), QList<QByteArray>{"7"});

    // Connected: keys other than digits, "*" and "#" change nothing and send nothing.
    const QString before = w.transcript().text();
    for (int key :
         {int(Qt::Key_A), int(Qt::Key_Space), int(Qt::Key_Backspace), int(Qt::Key_Return),
          int(Qt::Key_Enter), int(Qt::Key_Escape), int(Qt::Key_Delete), int(Qt::Key_Plus)})
        QTest::keyClick(trx, Qt::Key(key));
    QTest::keyClicks(trx, QStringLiteral("x/\t-"));
    QVERIFY(m_peer->read(1, 100).isEmpty());
    QCOMPARE(w.transcript().text(), before);

    // Each accepted key is one write of one byte, in the order typed.
    for (char key : {'*', '#', '1'}) {
        QTest::keyClick(trx, key);
        QCOMPARE(m_peer->readChunks(1), QList<QByteArray>{QByteArray(1, key)});
    }
    QCOMPARE(w.transcript().text(), before + QLatin1String("*#1"));

    // Caret and selection in the middle of the text: the key still goes to the very end.
    trx->flush();
    QTextCursor cursor = trx->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    trx->setTextCursor(cursor);
    QTest::keyClick(trx, '9');
    QCOMPARE(m_peer->readChunks(1), QList<QByteArray>{"9"});
    QCOMPARE(w.transcript().text(), before + QLatin1String("*#19"));
    trx->flush();
    QCOMPARE(trx->toPlainText().size(), w.transcript().text().size());

    // The adapter's answer to the typed frame ends the same line.
    QTest::keyClicks(trx, QStringLiteral("##"));
    QCOMPARE(m_peer->read(2), QByteArray("##"));
    m_peer->write(kAck);
    QTRY_COMPARE_WITH_TIMEOUT(w.transcript().text(), before + QLatin1String("*#19##") + kAnswered,
                              kTimeout);
}

void TestLinkSession::lineLost_data()
{
    QTest::addColumn<bool>("typeAtOnce");
    QTest::newRow("unplugged") << false;
    QTest::newRow("write fails") << true;
}

// The adapter goes away while connected: one report at most, then the closed state.
void TestLinkSession::lineLost()
{
    QFETCH(bool, typeAtOnce);
    FrmMain &w = *m_w;
    QVERIFY(connectAnswered(w, *m_peer));
    QVERIFY(w.link().Tcon.isActive());
    BoxWatcher boxes;
    QSignalSpy portErrors(&w.link().Comm.port(), &QSerialPort::errorOccurred);

    m_peer->hangUp();
    if (typeAtOnce) {
        // Before any event runs, so the write is what finds the line gone: closed silently.
        QTest::keyClick(w.Trx(), '5');
        QVERIFY(showsClosed(w));
        QCOMPARE(w.transcript().text(), kAnswered + QLatin1Char('5'));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(showsClosed(w), kTimeout);
        const QRegularExpression failureLine(QStringLiteral("^\\r\\n(-?\\d+)-([^\\r\\n]+)\\r\\n$"));
        const QString added = w.transcript().text().mid(kAnswered.size());
        const QRegularExpressionMatch m = failureLine.match(added);
        QVERIFY2(m.hasMatch(), qPrintable(added.toUtf8().toPercentEncoding()));
        QVERIFY(m.captured(1).toInt() != 0);
        QCOMPARE(m.captured(2), QStringLiteral("The device was disconnected"));
        QVERIFY(w.transcript().text().startsWith(kAnswered));
    }
    QCOMPARE(panel(w, 1), QStringLiteral("Connessione chiusa"));

    // No storm of further reports, and typing is refused from now on.
    const QString after = w.transcript().text();
    QVERIFY(!QTest::qWaitFor([&] { return w.transcript().text() != after; }, kQuiet));
    QTest::keyClicks(w.Trx(), QStringLiteral("6#"));
    QCOMPARE(w.transcript().text(), after);
    QVERIFY(showsClosed(w));
    QVERIFY(boxes.boxes.isEmpty());
    // The port was closed at its first report of the failure, not left to repeat it.
    qsizetype failures = 0;
    for (const QList<QVariant> &report : std::as_const(portErrors))
        failures += report.at(0).value<QSerialPort::SerialPortError>() != QSerialPort::NoError;
    QVERIFY2(failures <= 1, qPrintable(QString::number(failures)));
}

// Where the port layer reports nothing when the far end goes away (newer Qt reads zero bytes),
// the link asks the device itself; this is the question it asks.
void TestLinkSession::hangUpSeen()
{
    QSerialPort port(m_peer->devicePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QVERIFY(!lineHungUp(port.handle()));
    m_peer->write("*1##");
    QVERIFY(!lineHungUp(port.handle()));
    m_peer->hangUp();
    QVERIFY(lineHungUp(port.handle()));
    port.close();
    QVERIFY(!lineHungUp(-1));
}

QTEST_MAIN(TestLinkSession)
#include "tst_link_session.moc"
