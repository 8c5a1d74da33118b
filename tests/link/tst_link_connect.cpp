// Connecting to the adapter through the main window, over a pseudo-terminal whose far end
// the test plays: the probe and its answer, failures to open, interrupted waits, the clock.

#include "LinkHarness.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>

#include <ctime>

using namespace linktest;

class TestLinkConnect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk")); }
    void answered_data();
    void answered();
    void notFound_data();
    void notFound();
    void openFails_data();
    void openFails();
    void waitInterrupted_data();
    void waitInterrupted();
    void clock();
};

void TestLinkConnect::answered_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("established");
    QTest::newRow("italian") << QByteArray("it") << QStringLiteral("Connessione stabilita");
    QTest::newRow("english") << QByteArray("en") << QStringLiteral("Connection established");
}

void TestLinkConnect::answered()
{
    QFETCH(QByteArray, language);
    QFETCH(QString, established);
    TestSettings settings;
    PtyPeer peer;
    auto w = windowOn(settings, peer.devicePath(), language);
    BoxWatcher boxes;
    const QString timeBefore = panel(*w, 2);

    // The wait lasts its full tenth of a second even though the answer comes at once.
    QElapsedTimer clicked;
    clicked.start();
    QVERIFY(connectAnswered(*w, peer));
    QVERIFY(clicked.elapsed() >= 100);

    QCOMPARE(panel(*w, 1), established);
    QVERIFY(!w->Ccom()->isEnabled());
    QVERIFY(w->toolbarButton(Connect)->isChecked());
    QVERIFY(!w->toolbarButton(Disconnect)->isChecked());
    QCOMPARE(w->transcript().text(), QString::fromLatin1(kAck + "\r\n"));
    QVERIFY(boxes.boxes.isEmpty());

    // 115200 baud, 8 data bits, no parity, one stop bit, raw.
    const termios line = peer.lineSettings();
    QCOMPARE(cfgetospeed(&line), speed_t(B115200));
    QCOMPARE(cfgetispeed(&line), speed_t(B115200));
    QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(line.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
    QCOMPARE(line.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(line.c_iflag & (ICRNL | IXON | ISTRIP), tcflag_t(0));

    // The probe went out alone: nothing before it (checked by the answer) and nothing after.
    QVERIFY(peer.read(1, 100).isEmpty());

    // Panel 2 keeps its text until the clock's first real tick.
    QCOMPARE(panel(*w, 2), timeBefore);
    QCOMPARE(w->link().Tcon.interval(), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(panel(*w, 2).endsWith(QLatin1String(": 00.00.01")), kTimeout);
}

void TestLinkConnect::notFound_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QByteArray>("answer"); // empty: a silent adapter
    QTest::addColumn<int>("answerAfterMs");
    QTest::addColumn<QString>("status");
    const QString italian = QStringLiteral("Connessione chiusa (L4686SDK non trovata)");
    const QString english = QStringLiteral("Connection closed (L4686SDK not found)");
    QTest::newRow("silent, italian") << QByteArray("it") << QByteArray() << 0 << italian;
    QTest::newRow("silent, english") << QByteArray("en") << QByteArray() << 0 << english;
    QTest::newRow("late answer") << QByteArray("en") << kAck << 300 << english;
    QTest::newRow("no frame end") << QByteArray("it") << QByteArray("*#*1#") << 0 << italian;
}

void TestLinkConnect::notFound()
{
    QFETCH(QByteArray, language);
    QFETCH(QByteArray, answer);
    QFETCH(int, answerAfterMs);
    QFETCH(QString, status);
    TestSettings settings;
    PtyPeer peer;
    auto w = windowOn(settings, peer.devicePath(), language);
    BoxWatcher boxes;
    ProbeAnswer adapter(peer, answer, answerAfterMs);

    // The wait lets events run without spinning: it takes a tenth of a second, not the CPU.
    QElapsedTimer clicked;
    clicked.start();
    const std::clock_t cpuBefore = std::clock();
    click(*w, Connect);
    const double cpuMs = double(std::clock() - cpuBefore) * 1000 / CLOCKS_PER_SEC;
    QVERIFY(clicked.elapsed() >= 100);
    QVERIFY2(cpuMs < 30, qPrintable(QString::number(cpuMs)));

    QCOMPARE(panel(*w, 1), status);
    QVERIFY(showsClosed(*w));
    QCOMPARE(adapter.probe(), kProbe);
    QTRY_VERIFY_WITH_TIMEOUT(adapter.answered(), kTimeout);
    // A late answer reaches a closed port and is never shown; half a frame waits for its end.
    QVERIFY(!QTest::qWaitFor([&] { return !w->transcript().text().isEmpty(); }, kQuiet));
    const QString kept = answerAfterMs == 0 ? QString::fromLatin1(answer) : QString();
    QCOMPARE(w->link().rxBuffer(), kept);
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(panel(*w, 1), status);

    // Nor does the next attempt take it for an answer: what came while the port was closed
    // is not news from an adapter that is there now.
    click(*w, Connect);
    QCOMPARE(panel(*w, 1), status);
    QVERIFY(w->transcript().text().isEmpty());
    QCOMPARE(w->link().rxBuffer(), kept);
    QVERIFY(!w->link().isPortOpen());
}

void TestLinkConnect::openFails_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("no such device") << QStringLiteral("missing");
    QTest::newRow("held by another program") << QStringLiteral("held");
    QTest::newRow("no entry selected") << QStringLiteral("none");
}

void TestLinkConnect::openFails()
{
    QFETCH(QString, how);
    TestSettings settings;
    PtyPeer peer;
    QSerialPort holder(peer.devicePath());
    if (how == QLatin1String("held"))
        QVERIFY(holder.open(QIODevice::ReadWrite));
    useDevice(settings,
              how == QLatin1String("missing") ? QStringLiteral("/dev/does-not-exist")
                                              : peer.devicePath(),
              "en", how == QLatin1String("none") ? 0 : 1);
    FrmMain w;
    w.show();
    QCOMPARE(w.Ccom()->currentIndex(), how == QLatin1String("none") ? -1 : 0);
    BoxWatcher boxes;

    click(w, Connect);

    QCOMPARE(panel(w, 1), QStringLiteral("Connection closed (Error open Com)"));
    QVERIFY(showsClosed(w));
    QCOMPARE(boxes.boxes.size(), 1);
    const BoxWatcher::Box box = boxes.boxes.first();
    QCOMPARE(box.title, QStringLiteral("Telvo4686Sdk"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(-?\\d+) - (\\S.*)$")).match(box.text);
    QVERIFY2(m.hasMatch(), qPrintable(box.text));
    QVERIFY(m.captured(1).toInt() != 0);
    QVERIFY(w.transcript().text().isEmpty());
    // Nothing reached the line, and whoever holds the port keeps it.
    QVERIFY(peer.read(1, 50).isEmpty());
    QCOMPARE(holder.isOpen(), how == QLatin1String("held"));
}

void TestLinkConnect::waitInterrupted_data()
{
    QTest::addColumn<bool>("closeWindow");
    QTest::addColumn<QByteArray>("answer"); // empty: a silent adapter
    QTest::newRow("window closed, silent") << true << QByteArray();
    QTest::newRow("window closed, answered") << true << kAck;
    QTest::newRow("disconnect, silent") << false << QByteArray();
    QTest::newRow("disconnect, answered") << false << kAck;
}

// What the user does while the window waits for the answer: 30 ms into the wait of a silent
// adapter, or as soon as the answer is in.
void TestLinkConnect::waitInterrupted()
{
    QFETCH(bool, closeWindow);
    QFETCH(QByteArray, answer);
    TestSettings settings;
    PtyPeer peer;
    auto w = windowOn(settings, peer.devicePath());
    BoxWatcher boxes;
    ProbeAnswer adapter(peer, answer);
    QElapsedTimer clicked;
    bool interrupted = false;
    QTimer user;
    user.setInterval(1);
    connect(&user, &QTimer::timeout, w.get(), [&] {
        if (interrupted || !w->link().isPortOpen())
            return;
        if (answer.isEmpty() ? clicked.elapsed() < 30 : !w->link().interfaceAnswered())
            return;
        interrupted = true;
        if (closeWindow)
            w->close();
        else
            click(*w, Disconnect);
    });
    user.start();
    clicked.start();

    click(*w, Connect);

    QVERIFY(interrupted);
    QVERIFY(!w->link().isPortOpen());
    QVERIFY(!w->link().interfaceAnswered());
    QVERIFY(!w->link().Tcon.isActive());
    QVERIFY(boxes.boxes.isEmpty());
    if (!closeWindow) {
        QCOMPARE(panel(*w, 1), QStringLiteral("Connessione chiusa (L4686SDK non trovata)"));
        QVERIFY(showsClosed(*w));
    }
    // A frame that arrives now finds the port closed.
    const QString shown = w->transcript().text();
    peer.write(kAck);
    QVERIFY(!QTest::qWaitFor([&] { return w->transcript().text() != shown; }, 100));
    w.reset();
}

void TestLinkConnect::clock()
{
    TestSettings settings;
    PtyPeer peer;
    auto w = windowOn(settings, peer.devicePath());
    QVERIFY(panel(*w, 2).endsWith(QLatin1String(": 00.00.00")));
    QVERIFY(connectAnswered(*w, peer));
    QVERIFY(w->link().Tcon.isActive());

    const struct
    {
        int ticks;
        const char *shown;
    } steps[] = {{59, ": 00.00.59"}, {1, ": 00.01.00"}, {3540, ": 01.00.00"}};
    for (const auto &step : steps) {
        for (int i = 0; i < step.ticks; ++i)
            w->link().onTconTick();
        QVERIFY2(panel(*w, 2).endsWith(QLatin1String(step.shown)), qPrintable(panel(*w, 2)));
    }
    QCOMPARE(panel(*w, 2), QStringLiteral("Tempo connessione: 01.00.00"));

    // Disconnect stops the clock; panel 2 keeps the final time, also across a new connect,
    // which starts again from zero at its first tick.
    click(*w, Disconnect);
    QCOMPARE(panel(*w, 1), QStringLiteral("Connessione chiusa"));
    QVERIFY(showsClosed(*w));
    QCOMPARE(panel(*w, 2), QStringLiteral("Tempo connessione: 01.00.00"));
    QVERIFY(connectAnswered(*w, peer));
    QCOMPARE(panel(*w, 2), QStringLiteral("Tempo connessione: 01.00.00"));
    w->link().onTconTick();
    QCOMPARE(panel(*w, 2), QStringLiteral("Tempo connessione: 00.00.01"));
}

QTEST_MAIN(TestLinkConnect)
#include "tst_link_connect.moc"
