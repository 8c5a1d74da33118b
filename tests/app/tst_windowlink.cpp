// The main window over a pseudo-terminal whose far end plays the adapter: what the user sees
// of connecting, frames, typing and pasting, disconnecting and a lost line;
// what lands in the session log of a whole session, and a log that cannot be written.

#include "PtyWindow.h"

#include "InterfaceLink.h"
#include "SessionLog.h"
#include "TerminalView.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTextCursor>
#include <QtTest>

#include <sys/mount.h>

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
        // Pasted with Shift+Insert and from the context menu (Ctrl+V in wholeSession): each
        // accepted character as if typed, the others dropped.
        QGuiApplication::clipboard()->setText(u"9*"_s);
        QTest::keyClick(trx, Qt::Key_Insert, Qt::ShiftModifier);
        QGuiApplication::clipboard()->setText(u"#5!"_s);
        const QPoint at(5, 5);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, trx->viewport()->mapToGlobal(at));
        QApplication::sendEvent(trx->viewport(), &menuEvent);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        menu->findChild<QAction *>(u"edit-paste"_s)->trigger();
        menu->close();
        sent += "9*#5";
        QVERIFY(p.peer.waitForReceived(sent.size()));
        QVERIFY(!p.peer.waitForReceived(sent.size() + 1, kQuiet));
        QCOMPARE(p.peer.received(), sent);
        const QString typed = kAnswered + u"*#19*#5"_s;
        QCOMPARE(w.transcript(), typed);
        p.peer.write("*#*1##");
        QTRY_COMPARE_WITH_TIMEOUT(w.transcript(), typed + kAnswered, kTimeout);

        w.trigger(u"mDisconnect"_s);
        QCOMPARE(w.panel(1), u"Connessione chiusa"_s);
        QVERIFY(w.showsClosed());
        QCOMPARE(w.panel(2), u"Tempo connessione: 00.00.01"_s);
        QTest::keyClick(trx, '5');
        QCOMPARE(w.transcript(), typed + kAnswered);
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

    // Every frame, in order and with nondecreasing times, after what the file held; a
    // transcript that keeps its limit; the typed (and pasted) frame before its answer.
    void wholeSession()
    {
        QTemporaryDir dir;
        PtyWindow p;
        TestWindow &w = p.w;
        p.modals.fileName = dir.filePath(u"bus.log"_s);
        QVERIFY(putFile(p.modals.fileName, "earlier\n"));
        w.trigger(u"mLog"_s);
        QVERIFY(w.action(u"mLog"_s)->isChecked());
        QCOMPARE(p.modals.met, QStringList(u"Log file|Log file (*.log)|"_s));
        QVERIFY(p.connectAnswered());
        QByteArray bus;
        for (int i = 0; i < 1200; ++i)
            bus += "*1*" + QByteArray::number(i) + "*1\x01\xe8##";
        for (qsizetype at = 0; at < bus.size(); at += 700)
            p.peer.write(bus.mid(at, 700));
        QTRY_VERIFY_WITH_TIMEOUT(w.transcript().endsWith(u"*1*1199*1\x01\xe8##\r\n"_s), kTimeout);
        p.peer.setAnswer("*#1*11##", PtyPeer::kAck);
        QTest::keyClicks(w.trx(), u"*#1*"_s);
        QGuiApplication::clipboard()->setText(u"1x\u00e81 #\r\n#"_s);
        QTest::keySequence(w.trx(), QKeySequence::Paste);
        QTRY_VERIFY_WITH_TIMEOUT(w.transcript().endsWith(u"*#1*11##*#*1##\r\n"_s), kTimeout);
        p.peer.hangUp();
        QTRY_VERIFY_WITH_TIMEOUT(w.showsClosed(), kTimeout);
        w.trigger(u"mLog"_s);
        QVERIFY(!w.action(u"mLog"_s)->isChecked());
        QCOMPARE(p.modals.met.size(), 1);

        QStringList got = QString::fromLatin1(fileBytes(p.modals.fileName)).split(u'\n');
        QVERIFY(got.size() > 2 && got.takeFirst() == u"earlier"_s && got.takeLast().isEmpty());
        // Each line: its time, a TAB, then the record.
        QStringList times;
        for (QString &line : got) {
            times << line.left(23);
            line.remove(0, 24);
        }
        // The bus comes in as many lines as the reads make: joined, they are the bus.
        QString joined;
        while (got.size() > 5 && got[5].startsWith(u"RX\t"_s))
            joined += got.takeAt(5).mid(3);
        QCOMPARE(joined.toLatin1(), SessionLog::escape(bus));
        got.replaceInStrings(QRegularExpression(u"^--\\t-?\\d+-"_s), u"--\tN-"_s);
        const QString expected = u"--\tLog started, Telvo L4686SDK " TELVO_VERSION
                                 "|--\tConnecting: COM 1, %1|TX\t*#13**15##|RX\t*#*1##"
                                 "|--\tConnection established|TX\t*#1*11##|RX\t*#*1##"
                                 "|--\tN-The device was disconnected|--\tConnection closed"
                                 "|--\tLog stopped"_s;
        QCOMPARE(got, expected.arg(p.peer.devicePath()).split(u'|'));
        QVERIFY(std::is_sorted(times.begin(), times.end()));
    }

    // One box with the reason and the file, the entry unticked, the link untouched.
    void unwritable_data()
    {
        QTest::addColumn<bool>("fillLater"); // else full from the start
        QTest::newRow("a full device") << false;
        QTest::newRow("a disk that fills up") << true;
    }
    void unwritable()
    {
        QFETCH(bool, fillLater);
        QTemporaryDir dir;
        const QByteArray mount = QFile::encodeName(dir.path());
        if (fillLater && ::mount("tmpfs", mount.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small tmpfs is not allowed here (the test needs root)");
        const auto unmount = qScopeGuard([&] {
            if (fillLater)
                ::umount2(mount.constData(), MNT_DETACH);
        });
        PtyWindow p;
        TestWindow &w = p.w;
        p.modals.fileName = fillLater ? dir.filePath(u"bus.log"_s) : u"/dev/full"_s;
        QVERIFY(p.connectAnswered());
        w.trigger(u"mLog"_s);
        if (fillLater) {
            QFile filler(dir.filePath(u"filler"_s));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(4096, 'f')) > 0)
                continue;
            p.peer.write(QByteArray(5000, '5') + "##");
        }
        const QString box =
            u"The log file could not be written: No space left on device\n"_s + p.modals.fileName;
        QTRY_COMPARE_WITH_TIMEOUT(p.modals.met.size(), 2, kTimeout);
        QCOMPARE(p.modals.met[1].section(u'|', 2), box);
        QVERIFY(!w.action(u"mLog"_s)->isChecked());
        p.peer.write(PtyPeer::kAck);
        QTRY_VERIFY_WITH_TIMEOUT(w.transcript().endsWith(u"##\r\n"_s + kAnswered), kTimeout);
        QCOMPARE(w.panel(1), u"Connection established"_s);
        QVERIFY(!w.ccom()->isEnabled());
        QCOMPARE(p.modals.met.size(), 2);
    }
};

QTEST_MAIN(TstWindowLink)
#include "tst_windowlink.moc"
