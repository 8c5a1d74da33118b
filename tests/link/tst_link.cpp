// The main window's link to the adapter, over a pseudo-terminal whose far end the test plays
// or against the project's emulator: connecting, receiving, typing and losing the line.

#include "PtyPeer.h"
#include "TestSettings.h"
#include "app/FrmMain.h"
#include "terminal/TerminalView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTime>

#include <cerrno>
#include <ctime>
#include <functional>
#include <optional>

#ifndef EMULATOR_PATH
#define EMULATOR_PATH ""
#endif

namespace {
constexpr int kTimeout = 5000; // never reached when all is well
constexpr int kQuiet = 300;    // how long "nothing more happens" is watched
const QByteArray kProbe = "*#13**15##", kAck = "*#*1##";
const QString kAnswered = QString::fromLatin1(kAck + "\r\n");
const QString kNotFound = QStringLiteral("Connessione chiusa (L4686SDK non trovata)");
const QString kLost = QStringLiteral("\r\nN-The device was disconnected\r\n");
enum Button { Connect = 1, Disconnect = 2, Clear = 6 };

// Bytes the adapter sends or a button ("@clear", "@disconnect", "@connect"), then what the
// receive buffer and the transcript hold.
struct Step
{
    QByteArray action;
    QString rxBuffer, transcript;
};
} // namespace
Q_DECLARE_METATYPE(QList<Step>)

class TestLink : public QObject
{
    Q_OBJECT

    TestSettings m_settings;
    std::unique_ptr<PtyPeer> m_peer;
    std::unique_ptr<FrmMain> m_w;
    QTimer m_tick;
    QStringList m_boxes;                // "title|icon|text" of each message box met
    std::optional<QByteArray> m_answer; // the adapter's, m_answerAfterMs after the probe
    int m_answerAfterMs = 0;
    QByteArray m_probe;
    QElapsedTimer m_sinceProbe;
    std::function<void()> m_user; // what the user does meanwhile
    QProcess m_emulator;

    // Every millisecond, also while the window waits: closes boxes, plays adapter and user.
    void tick()
    {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            m_boxes << box->windowTitle() + '|' + QString::number(box->icon()) + '|' + box->text();
            box->reject();
        }
        if (m_answer && m_probe.size() < kProbe.size()) {
            m_probe += m_peer->read(int(kProbe.size() - m_probe.size()), 1);
            m_sinceProbe.start();
        } else if (m_answer && m_sinceProbe.elapsed() >= m_answerAfterMs) {
            m_peer->write(*std::exchange(m_answer, std::nullopt));
        }
        if (m_user)
            m_user();
    }

    // A main window whose COM 1 is `device` (or the peer's); `com` is the stored choice.
    FrmMain &open(const QByteArray &language = "it", const QString &device = {}, int com = 1)
    {
        m_settings.writeIni(
            "[Option]\nCom=" + QByteArray::number(com) + "\nlanguage=" + language +
            "\n[Ports]\nCOM1=" + (device.isEmpty() ? m_peer->devicePath() : device).toLocal8Bit());
        m_w = std::make_unique<FrmMain>();
        m_w->show();
        return *m_w;
    }
    void click(int button) { m_w->toolbarButton(button)->trigger(); }
    QString panel(int index) const { return m_w->statusPanel(index)->text(); }
    QString text() const { return m_w->transcript().text(); }
    // The transcript with the error number of each failure line replaced by N.
    QString failureShown() const
    {
        return text().replace(QRegularExpression(QStringLiteral("\\r\\n-?[1-9]\\d*-")), "\r\nN-");
    }
    // Starts the emulator; the device it serves is the first line it prints.
    QString emulatorDevice(const QStringList &args)
    {
        m_emulator.start(QStringLiteral(EMULATOR_PATH), args);
        QByteArray out;
        while (!out.contains('\n') && m_emulator.waitForReadyRead(kTimeout))
            out += m_emulator.readAllStandardOutput();
        return QString::fromLocal8Bit(out.left(out.indexOf('\n')));
    }
    void connectWith(const QByteArray &answer, int afterMs = 0)
    {
        m_probe.clear();
        m_answer = answer;
        m_answerAfterMs = afterMs;
        click(Connect);
    }
    // True when the adapter, answering at once, got exactly the probe and the link is up.
    bool connectAnswered()
    {
        connectWith(kAck);
        return m_w->link().interfaceAnswered() && m_w->link().isPortOpen() && m_probe == kProbe;
    }
    // The closed state that every way of losing the connection ends in.
    bool showsClosed() const
    {
        InterfaceLink &link = m_w->link();
        return !link.isPortOpen() && !link.interfaceAnswered() && !link.Tcon.isActive() &&
               m_w->toolbarButton(Disconnect)->isChecked() &&
               !m_w->toolbarButton(Connect)->isChecked() && m_w->Ccom()->isEnabled();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk")); // names the ini
        m_tick.callOnTimeout(this, &TestLink::tick);
        m_tick.start(1);
    }
    void init()
    {
        m_peer = std::make_unique<PtyPeer>();
        QVERIFY(m_peer->isValid());
        m_boxes.clear();
        m_answer.reset();
        if (QByteArray(QTest::currentTestFunction()).startsWith("emulator") && !*EMULATOR_PATH)
            QSKIP("built without the emulator");
    }
    void cleanup()
    {
        m_user = nullptr; // it refers to the test's locals
        m_w.reset();
        m_emulator.terminate();
        m_emulator.waitForFinished(kTimeout);
    }

    void connected()
    {
        FrmMain &w = open("en");
        const QString timeBefore = panel(2);
        QElapsedTimer clicked;
        clicked.start();
        QVERIFY(connectAnswered());
        // The wait lasts its tenth of a second after the probe although the answer came at
        // once (the adapter here noticed the probe a few milliseconds late).
        QVERIFY2(m_sinceProbe.elapsed() >= 80, qPrintable(QString::number(m_sinceProbe.elapsed())));
        QCOMPARE(panel(1), QStringLiteral("Connection established"));
        QVERIFY(!w.Ccom()->isEnabled() && w.toolbarButton(Connect)->isChecked());
        QVERIFY(!w.toolbarButton(Disconnect)->isChecked() && m_boxes.isEmpty());
        QCOMPARE(text(), kAnswered);
        QVERIFY(m_peer->read(1, 100).isEmpty()); // nothing after the probe

        const termios line = m_peer->lineSettings(); // 115200 8N1, raw
        QVERIFY(cfgetospeed(&line) == B115200 && cfgetispeed(&line) == B115200);
        QCOMPARE(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t(CS8));
        QCOMPARE(line.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
        QCOMPARE((line.c_iflag & (ICRNL | IXON | ISTRIP)) | (line.c_oflag & OPOST), tcflag_t(0));

        // Panel 2 keeps its text until the clock's first tick, a second later.
        QCOMPARE(panel(2), timeBefore);
        const QString time = QStringLiteral("Connection time: %1");
        QTRY_COMPARE_WITH_TIMEOUT(panel(2), time.arg("00.00.01"), kTimeout);
        QVERIFY(clicked.elapsed() >= 1000);
        for (int seconds = 2; seconds <= 3600; ++seconds) { // 59, 60, 3600 and all between
            w.link().onTconTick();
            QCOMPARE(panel(2), time.arg(QTime(0, 0).addSecs(seconds).toString("hh.mm.ss")));
        }

        // Disconnect keeps the time shown until the next connection's first tick.
        click(Disconnect);
        QCOMPARE(panel(1), QStringLiteral("Connection closed"));
        QVERIFY(showsClosed());
        QVERIFY(connectAnswered());
        QCOMPARE(panel(2), time.arg("01.00.00"));
        w.link().onTconTick();
        QCOMPARE(panel(2), time.arg("00.00.01"));
    }

    void notFound_data()
    {
        QTest::addColumn<QByteArray>("answer"); // empty: a silent adapter
        QTest::addColumn<int>("answerAfterMs");
        QTest::newRow("silent") << QByteArray() << 0;
        QTest::newRow("answer after the wait") << kAck << 300;
        QTest::newRow("no frame end") << QByteArray("*#*1#") << 0;
    }
    void notFound()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, answerAfterMs);
        FrmMain &w = open();
        const std::clock_t cpuBefore = std::clock();
        connectWith(answer, answerAfterMs);
        // The wait runs the event loop rather than spinning.
        const double cpuMs = double(std::clock() - cpuBefore) * 1000 / CLOCKS_PER_SEC;
        QVERIFY2(cpuMs < 30, qPrintable(QString::number(cpuMs)));
        QCOMPARE(panel(1), kNotFound);
        QVERIFY(showsClosed());
        QCOMPARE(m_probe, kProbe);
        QTRY_VERIFY_WITH_TIMEOUT(!m_answer, kTimeout);
        // A late answer reaches a closed port; half a frame waits in the buffer for its end.
        QVERIFY(!QTest::qWaitFor([&] { return !text().isEmpty(); }, kQuiet));
        const QString kept = answerAfterMs == 0 ? QString::fromLatin1(answer) : QString();
        QCOMPARE(w.link().rxBuffer(), kept);

        // Nor does the next attempt take the late answer, queued meanwhile, for its own.
        click(Connect);
        QCOMPARE(panel(1), kNotFound);
        QVERIFY(text().isEmpty() && !w.link().isPortOpen() && m_boxes.isEmpty());
        QCOMPARE(w.link().rxBuffer(), kept);
    }

    void openFails_data()
    {
        QTest::addColumn<QString>("device"); // empty: the peer's
        QTest::addColumn<int>("com");
        QTest::addColumn<bool>("held");
        QTest::newRow("no such device") << QStringLiteral("/dev/does-not-exist") << 1 << false;
        QTest::newRow("held by another program") << QString() << 1 << true;
        QTest::newRow("no entry selected") << QString() << 0 << false;
    }
    void openFails()
    {
        QFETCH(QString, device);
        QFETCH(int, com);
        QFETCH(bool, held);
        QSerialPort holder(m_peer->devicePath());
        QVERIFY(!held || holder.open(QIODevice::ReadWrite));
        FrmMain &w = open("en", device, com);
        QCOMPARE(w.Ccom()->currentIndex(), com - 1);
        click(Connect);
        QCOMPARE(panel(1), QStringLiteral("Connection closed (Error open Com)"));
        QVERIFY(showsClosed() && text().isEmpty());
        QCOMPARE(m_boxes.size(), 1); // a critical one with "<number> - <description>"
        const QString box =
            QStringLiteral("^Telvo4686Sdk\\|%1\\|-?[1-9]\\d* - \\S").arg(QMessageBox::Critical);
        QVERIFY2(QRegularExpression(box).match(m_boxes[0]).hasMatch(), qPrintable(m_boxes[0]));
        QVERIFY(m_peer->read(1, 50).isEmpty());
        QCOMPARE(holder.isOpen(), held); // whoever holds the port keeps it
    }

    // The window is closed, or Disconnect clicked, 30 ms into the wait for a silent adapter
    // or as soon as the answer is in.
    void waitInterrupted_data()
    {
        QTest::addColumn<bool>("closeWindow");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("window closed, silent") << true << QByteArray();
        QTest::newRow("window closed, answered") << true << kAck;
        QTest::newRow("disconnect, silent") << false << QByteArray();
        QTest::newRow("disconnect, answered") << false << kAck;
    }
    void waitInterrupted()
    {
        QFETCH(bool, closeWindow);
        QFETCH(QByteArray, answer);
        FrmMain &w = open();
        QElapsedTimer clicked;
        clicked.start();
        bool interrupted = false;
        m_user = [&] {
            if (interrupted || !w.link().isPortOpen() ||
                (answer.isEmpty() ? clicked.elapsed() < 30 : !w.link().interfaceAnswered()))
                return;
            interrupted = true;
            closeWindow ? void(w.close()) : click(Disconnect);
        };
        connectWith(answer);
        QVERIFY(interrupted && m_boxes.isEmpty());
        QVERIFY(!w.link().isPortOpen() && !w.link().interfaceAnswered());
        QVERIFY(!w.link().Tcon.isActive());
        QVERIFY(closeWindow || (showsClosed() && panel(1) == kNotFound));
    }

    void framing_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        const QString a = kAnswered;
        QTest::newRow("frame in two reads")
            << QList<Step>{{"*1*1", "*1*1", a}, {"*11##", "", a + "*1*1*11##\r\n"}};
        QTest::newRow("two frames in one read")
            << QList<Step>{{"*1##*2##", "", a + "*1##*2##\r\n"}};
        QTest::newRow("a frame and the start of the next")
            << QList<Step>{{"*1##*2", "*1##*2", a}, {"##", "", a + "*1##*2##\r\n"}};
        QTest::newRow("frame end alone is kept")
            << QList<Step>{{"##", "##", a}, {"*5##", "", a + "##*5##\r\n"}};
        QTest::newRow("three characters") << QList<Step>{{"1##", "", a + "1##\r\n"}};
        QTest::newRow("bytes beyond ASCII")
            << QList<Step>{{"\xe9\x01\xff##", "", a + QString::fromLatin1("\xe9\x01\xff##\r\n")}};
        QTest::newRow("half frame across clear") << QList<Step>{
            {"*1*1", "*1*1", a}, {"@clear", "*1*1", ""}, {"*11##", "", "*1*1*11##\r\n"}};
        QTest::newRow("half frame across disconnect") << QList<Step>{
            {"*1*1", "*1*1", a}, {"@disconnect", "*1*1", a}, {"@connect", "", a + "*1*1" + a}};
    }
    void framing()
    {
        QFETCH(QList<Step>, steps);
        FrmMain &w = open();
        QVERIFY(connectAnswered());
        for (const Step &step : steps) {
            if (step.action == "@clear")
                click(Clear);
            else if (step.action == "@disconnect")
                click(Disconnect);
            else if (step.action == "@connect")
                QVERIFY(connectAnswered());
            else
                m_peer->write(step.action);
            QTRY_COMPARE_WITH_TIMEOUT(w.link().rxBuffer(), step.rxBuffer, kTimeout);
            QTRY_COMPARE_WITH_TIMEOUT(text(), step.transcript, kTimeout);
        }
        QVERIFY(w.link().isPortOpen());
    }

    void burst()
    {
        FrmMain &w = open();
        QVERIFY(connectAnswered());
        for (int i = 0; i < 10; ++i)
            m_peer->write(QByteArray("\r\n*1##").repeated(10000));
        m_peer->write("*9##"); // shown once everything before it is
        QTRY_VERIFY_WITH_TIMEOUT(text().endsWith("*9##\r\n"), kTimeout);
        QVERIFY2(text().size() <= 10000 && text().size() > 9900,
                 qPrintable(QString::number(text().size())));
        w.Trx()->flush();
        QCOMPARE(w.Trx()->toPlainText().size(), text().size());
        QVERIFY(w.link().isPortOpen());
    }

    void typing()
    {
        FrmMain &w = open();
        TerminalView *trx = w.Trx();
        // While probing, a digit is dropped before the answer and sent at once after it.
        bool typedEarly = false, typedLate = false;
        m_user = [&] {
            if (!w.link().isPortOpen() || typedLate || typedEarly != w.link().interfaceAnswered())
                return;
            QTest::keyClick(trx, typedEarly ? '7' : '5');
            (typedEarly ? typedLate : typedEarly) = true;
        };
        connectWith(kAck, 10);
        QCOMPARE(m_probe, kProbe);
        QVERIFY(typedEarly && typedLate && w.link().interfaceAnswered());
        QCOMPARE(text(), kAnswered + '7');
        QCOMPARE(m_peer->readChunks(1), QList<QByteArray>{"7"});

        for (Qt::Key key :
             {Qt::Key_A, Qt::Key_Space, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(trx, key); // no frame keys
        QVERIFY(m_peer->read(1, 100).isEmpty());
        QCOMPARE(text(), kAnswered + '7');

        // Each frame key is one write of one byte, in order; the text ends with it wherever
        // the caret or a selection is.
        for (char key : {'*', '#', '1'}) {
            QTest::keyClick(trx, key);
            QCOMPARE(m_peer->readChunks(1), QList<QByteArray>{QByteArray(1, key)});
        }
        QCOMPARE(text(), kAnswered + "7*#1");
        trx->flush();
        QTextCursor cursor = trx->textCursor();
        cursor.setPosition(2);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        trx->setTextCursor(cursor);
        QTest::keyClick(trx, '9');
        QCOMPARE(m_peer->readChunks(1), QList<QByteArray>{"9"});
        QCOMPARE(text(), kAnswered + "7*#19");
        trx->flush();
        QCOMPARE(trx->toPlainText().size(), text().size());
    }

    void lineLost_data()
    {
        QTest::addColumn<bool>("typeAtOnce");
        QTest::newRow("unplugged") << false;
        QTest::newRow("write fails") << true;
    }
    void lineLost()
    {
        QFETCH(bool, typeAtOnce);
        FrmMain &w = open();
        QVERIFY(connectAnswered());
        QSignalSpy portErrors(&w.link().Comm.port(), &QSerialPort::errorOccurred);
        // A hung-up line reads nothing and Qt names the error after whatever errno holds:
        // cleared, it is a ReadError every time, not a ResourceError only now and then.
        errno = 0;
        m_peer->hangUp();
        if (typeAtOnce) {
            // Before any event runs, so the write is what finds the line gone: closed silently.
            QTest::keyClick(w.Trx(), '5');
            QVERIFY(showsClosed());
            QCOMPARE(text(), kAnswered + '5');
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(showsClosed(), kTimeout);
            QCOMPARE(failureShown(), kAnswered + kLost);
        }
        expectNoStorm();
        // The port was closed at its first report of the failure, not left to repeat it.
        portErrors.removeAll({QVariant::fromValue(QSerialPort::NoError)});
        QVERIFY2(portErrors.size() <= 1, qPrintable(QString::number(portErrors.size())));
    }

    // Against the emulator, the answer to a typed frame ends the line of that frame, also
    // when it comes byte by byte.
    void emulatorAnswers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("at once") << QStringList();
        QTest::newRow("byte by byte") << QStringList{QStringLiteral("--split")};
    }
    void emulatorAnswers()
    {
        QFETCH(QStringList, args);
        FrmMain &w = open("en", emulatorDevice(args));
        click(Connect);
        QTest::keyClicks(w.Trx(), QStringLiteral("*1*1*11##"));
        QTRY_COMPARE_WITH_TIMEOUT(text(), kAnswered + "*1*1*11##" + kAnswered, kTimeout);
    }

    void emulatorUnplugged()
    {
        FrmMain &w = open("it", emulatorDevice({"--events", "50", "--hangup-after", "1000"}));
        click(Connect);
        QVERIFY(w.link().interfaceAnswered());
        QTRY_VERIFY_WITH_TIMEOUT(showsClosed(), kTimeout);
        QVERIFY2(failureShown().endsWith(kLost) && failureShown().count(kLost) == 1,
                 qPrintable(text().right(200)));
        expectNoStorm();
    }

private:
    // After the line is lost: no further reports, no message box, typing refused.
    void expectNoStorm()
    {
        QCOMPARE(panel(1), QStringLiteral("Connessione chiusa"));
        const QString after = text();
        QVERIFY(!QTest::qWaitFor([&] { return text() != after; }, kQuiet));
        QTest::keyClicks(m_w->Trx(), QStringLiteral("6#"));
        QCOMPARE(text(), after);
        QVERIFY(showsClosed() && m_boxes.isEmpty());
    }
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
