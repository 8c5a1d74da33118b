// What a screen reader is told about the main window's controls, in each language.

#include "TestWindow.h"

#include "FrmMain.h"
#include "TerminalView.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QtTest>

class TstAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk")); }

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
            return result << text(w.ccom()->lineEdit()) << text(w.trx())
                          << text(panel(1), QAccessible::Description)
                          << text(panel(2), QAccessible::Description);
        };
        const QStringList italian = {
            "Connetti", "Disconnetti",   "Salva",     "Cancella",          "Italiano",
            "Inglese",  "Porta seriale", "Terminale", "Stato connessione", "Tempo connessione"};
        const QStringList english = {"Connect",        "Disconnect", "Save",
                                     "Clear",          "Italian",    "English",
                                     "Serial port",    "Terminal",   "Connection state",
                                     "Connection time"};

        QCOMPARE(names(), italian);
        w.trigger(QStringLiteral("mEng"));
        QCOMPARE(names(), english);
        // A panel's live text is what is read out as its name.
        QCOMPARE(text(panel(2)), QStringLiteral("Connection time: 00.00.00"));
        w.trigger(QStringLiteral("8"));
        QCOMPARE(names(), italian);
    }
};

QTEST_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
