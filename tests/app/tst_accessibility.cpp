// What a screen reader is told about the main window's controls, in each language, and the
// keyboard and mouse habits of the platform that the window keeps.

#include "TestWindow.h"

#include "FrmMain.h"
#include "TerminalView.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QtTest>

class TstAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:

    // A right click past the menus brings up no menu of toolbars.
    void noContextMenu()
    {
        TestWindow w;
        QMenuBar *bar = w.window().menuBar();
        const QPoint pos(bar->width() - 100, bar->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, bar->mapToGlobal(pos));
        QApplication::sendEvent(bar, &event);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    // F10 opens the first menu wherever the focus is; the entries have no shortcuts.
    void f10OpensTheMenuBar_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("terminal") << QStringLiteral("Trx");
        QTest::newRow("port list") << QStringLiteral("Ccom");
    }
    void f10OpensTheMenuBar()
    {
        QFETCH(QString, focus);
        TestWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window()));
        QWidget *widget = w.window().findChild<QWidget *>(focus);
        widget->setFocus();
        QTRY_VERIFY(widget->hasFocus());
        QTest::keyClick(widget, Qt::Key_F10);
        QMenu *file = w.window().findChild<QAction *>(QStringLiteral("mFile"))->menu();
        QTRY_COMPARE(QApplication::activePopupWidget(), file);
        QTest::keyClick(file, Qt::Key_Escape);
        for (QAction *action : w.window().findChildren<QAction *>(QRegularExpression("^m")))
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    }

    void namesFollowTheLanguage()
    {
        TestWindow w(QByteArray(), false);
        QToolBar *toolbar = w.window().findChild<QToolBar *>();
        const auto text = [](QObject *object, QAccessible::Text which = QAccessible::Name) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
            return iface ? iface->text(which) : QStringLiteral("<no interface>");
        };
        const auto panel = [&](int index) {
            return w.window().findChild<QLabel *>(QStringLiteral("Panel%1").arg(index));
        };
        const auto names = [&] {
            QStringList result;
            for (int index : {1, 2, 4, 6, 8, 9})
                result << text(toolbar->widgetForAction(w.action(QString::number(index))));
            // On Linux the list itself is named by the label it is the buddy of.
            QString labelledBy;
            for (const auto &relation :
                 QAccessible::queryAccessibleInterface(w.ccom())->relations(QAccessible::Label))
                labelledBy += relation.first->text(QAccessible::Name);
            return result << text(w.ccom()->lineEdit()) << labelledBy << text(w.trx())
                          << text(panel(1), QAccessible::Description)
                          << text(panel(2), QAccessible::Description)
                          << text(w.window().findChild<QAction *>("mHlp")->menu());
        };
        const QString italian = QStringLiteral(
            "Connetti|Disconnetti|Salva|Cancella|Italiano|Inglese|Porta seriale|Porta seriale|"
            "Terminale|Stato connessione|Tempo connessione|Aiuto");
        const QString english = QStringLiteral(
            "Connect|Disconnect|Save|Clear|Italian|English|Serial port|Serial port|Terminal|"
            "Connection state|Connection time|Help");
        QCOMPARE(names().join(u'|'), italian);
        w.trigger(QStringLiteral("mEng"));
        QCOMPARE(names().join(u'|'), english);
        // A panel's live text is what is read out as its name.
        QCOMPARE(text(panel(2)), QStringLiteral("Connection time: 00.00.00"));
        w.trigger(QStringLiteral("8"));
        QCOMPARE(names().join(u'|'), italian);
    }
};

QTEST_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
