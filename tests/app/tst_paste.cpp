// Pasting into the terminal of the main window, over a pseudo-terminal whose far end plays
// the adapter: the pasted text goes out as if typed.

#include "PtyWindow.h"

#include "TerminalView.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstPaste : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each accepted character in order, as if typed, and every other one dropped, by each way
    // to paste (Ctrl+V in the window link test's whole session); none while typing is refused.
    void paste_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("Shift+Insert") << u"Shift+Insert"_s << u"9*"_s << true << "9*"_ba;
        QTest::newRow("context menu") << u"menu"_s << u"#5!"_s << true << "#5"_ba;
        QTest::newRow("refused") << u"keys"_s << u"123"_s << false << ""_ba;
    }
    void paste()
    {
        QFETCH(QString, how);
        QFETCH(QString, text);
        QFETCH(bool, connected);
        QFETCH(QByteArray, sent);
        PtyWindow p;
        TestWindow &w = p.w;
        QVERIFY(!connected || p.connectAnswered());
        const QByteArray before = p.peer.received();
        const QString shown = w.transcript();
        QGuiApplication::clipboard()->setText(text);
        QWidget *viewport = w.trx()->viewport();
        if (how == u"keys"_s) {
            QTest::keySequence(w.trx(), QKeySequence::Paste);
        } else if (how == u"Shift+Insert"_s) {
            QTest::keyClick(w.trx(), Qt::Key_Insert, Qt::ShiftModifier);
        } else {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                    viewport->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(viewport, &event);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            menu->findChild<QAction *>(u"edit-paste"_s)->trigger();
            menu->close();
        }
        if (!sent.isEmpty())
            QVERIFY(p.peer.waitForReceived(before.size() + sent.size()));
        QVERIFY(!p.peer.waitForReceived(before.size() + sent.size() + 1, 300));
        QCOMPARE(p.peer.received(), before + sent);
        QCOMPARE(w.transcript(), shown + QString::fromLatin1(sent));
    }
};

QTEST_MAIN(TstPaste)
#include "tst_paste.moc"
