// The main window over a pseudo-terminal whose far end plays the adapter: what the user sees
// of connecting, frames, typing, disconnecting and a lost line.

#include "PtyWindow.h"

#include "InterfaceLink.h"
#include "TerminalView.h"

#include <QComboBox>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextCursor>
#include <QtTest>

using namespace Qt::StringLiterals;

const QString kAnswered = u"*#*1##\r\n"_s; // the probe's answer, as the window shows it

class TstWindowLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectedTypingDisconnect()
    {
        PtyWindow p("en");
        TestWindow &w = p.w;
        const QString timeBefore = w.panel(2);
        QVERIFY(p.connectAnswered());
        QCOMPARE(w.panel(1), u"Connection established"_s);
        QVERIFY(w.action(u"1"_s)->isChecked() && !w.action(u"2"_s)->isChecked());
        QCOMPARE(w.transcript(), kAnswered);
        QVERIFY(p.modals.met.isEmpty());
        // Panel 2 keeps its text until the clock's first tick, a second later.
        QSignalSpy ticks(w.link(), &InterfaceLink::clockTicked);
        QCOMPARE(w.panel(2), timeBefore);
        QVERIFY(ticks.wait(2000));
        QCOMPARE(w.panel(2), u"Connection time: 00.00.01"_s);
        w.trigger(u"mIta"_s);
        QCOMPARE(w.panel(2), u"Tempo connessione: 00.00.01"_s);

        // Frame keys are echoed at the very end and sent one by one; other keys do nothing.
        TerminalView *trx = w.trx();
        trx->flush();
        QTextCursor cursor = trx->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        trx->setTextCursor(cursor);
        QByteArray sent = PtyPeer::kProbe;
        for (char key : {'*', 'a', ' ', '#', '\r', '1'}) {
            QTest::keyClick(trx, key);
            if (key == '*' || key == '#' || key == '1') {
                sent += key;
                QVERIFY(p.peer.waitForReceived(sent.size()));
            }
        }
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(trx, key);
        QVERIFY(!p.peer.waitForReceived(sent.size() + 1, kQuiet));
        QCOMPARE(p.peer.received(), sent);
        QCOMPARE(w.transcript(), kAnswered + u"*#1"_s);
        p.peer.write("*#*1##");
        QTRY_COMPARE_WITH_TIMEOUT(w.transcript(), kAnswered + u"*#1"_s + kAnswered, kTimeout);

        w.trigger(u"mDisconnect"_s);
        QCOMPARE(w.panel(1), u"Connessione chiusa"_s);
        QVERIFY(w.showsClosed());
        QCOMPARE(w.panel(2), u"Tempo connessione: 00.00.01"_s);
        QTest::keyClick(trx, '5');
        QCOMPARE(w.transcript(), kAnswered + u"*#1"_s + kAnswered);
    }

    void attemptFails_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("device"); // null: the silent peer
        QTest::addColumn<bool>("disconnectAtOnce");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("box");
        QTest::newRow("silent") << "it"_ba << QString() << false
                                << u"Connessione chiusa (L4686SDK non trovata)"_s << false;
        QTest::newRow("disconnect during the wait")
            << "en"_ba << QString() << true << u"Connection closed (L4686SDK not found)"_s << false;
        QTest::newRow("no such device") << "en"_ba << u"/dev/does-not-exist"_s << false
                                        << u"Connection closed (Error open Com)"_s << true;
    }
    void attemptFails()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, device);
        QFETCH(bool, disconnectAtOnce);
        QFETCH(QString, shown);
        QFETCH(bool, box);
        PtyWindow p(language, device);
        TestWindow &w = p.w;
        QSignalSpy failed(w.link(), &InterfaceLink::connectFailed);
        w.trigger(u"1"_s);
        if (disconnectAtOnce) {
            w.trigger(u"2"_s);
            QCOMPARE(w.panel(1), u"Connection closed"_s);
        }
        QVERIFY(!failed.isEmpty() || failed.wait(kTimeout));
        QCOMPARE(w.panel(1), shown);
        QVERIFY(w.showsClosed() && w.transcript().isEmpty());
        if (box) {
            QTRY_COMPARE(p.modals.met.size(), 1);
            const QString pattern =
                u"^Telvo4686Sdk\\|%1\\|-?[1-9]\\d* - \\S"_s.arg(QMessageBox::Critical);
            QVERIFY2(QRegularExpression(pattern).match(p.modals.met[0]).hasMatch(),
                     qPrintable(p.modals.met[0]));
        } else {
            QVERIFY(!QTest::qWaitFor([&] { return !p.modals.met.isEmpty(); }, kQuiet));
        }
    }

    void lineLost_data()
    {
        QTest::addColumn<bool>("typeAtOnce");
        QTest::newRow("unplugged") << false;
        QTest::newRow("typed into the dead line") << true;
    }
    void lineLost()
    {
        QFETCH(bool, typeAtOnce);
        PtyWindow p("it");
        TestWindow &w = p.w;
        QVERIFY(p.connectAnswered());
        p.peer.hangUp();
        if (typeAtOnce) {
            // Before any event runs, so the write finds the line gone: closed silently, the key
            // echoed.
            QTest::keyClick(w.trx(), '5');
            QVERIFY(w.showsClosed());
            QCOMPARE(w.transcript(), kAnswered + u'5');
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(w.showsClosed(), kTimeout);
            // The failure line, whatever the error's number.
            QCOMPARE(w.transcript().replace(QRegularExpression(u"\r\n-?[1-9]\\d*-"_s), u"\r\nN-"_s),
                     kAnswered + u"\r\nN-The device was disconnected\r\n"_s);
        }
        QCOMPARE(w.panel(1), u"Connessione chiusa"_s);
        const QString after = w.transcript();
        QVERIFY(!QTest::qWaitFor([&] { return w.transcript() != after; }, kQuiet));
        QTest::keyClicks(w.trx(), u"6#"_s);
        QCOMPARE(w.transcript(), after);
        QVERIFY(p.modals.met.isEmpty());
    }
};

QTEST_MAIN(TstWindowLink)
#include "tst_windowlink.moc"
