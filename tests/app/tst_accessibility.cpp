// The keyboard and mouse habits of the platform that the main window keeps. What a screen
// reader is told in each language is checked with the languages, in tst_frmmain.

#include "TestWindow.h"

#include "FrmMain.h"

#include <QMenu>
#include <QMenuBar>
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
};

QTEST_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
