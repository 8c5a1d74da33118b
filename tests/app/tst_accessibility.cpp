// What a screen reader is told about the main window's controls, in each language.

#include "TestSettings.h"
#include "app/FrmMain.h"
#include "terminal/TerminalView.h"

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
    void namesFollowTheLanguage()
    {
        TestSettings settings;
        FrmMain w;
        const auto text = [](QObject *object, QAccessible::Text which = QAccessible::Name) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
            return iface ? iface->text(which) : QStringLiteral("<no interface>");
        };
        const auto names = [&] {
            QStringList result;
            for (int index : {1, 2, 4, 6, 8, 9})
                result << text(w.Toolbar()->widgetForAction(w.toolbarButton(index)));
            return result << text(w.Ccom()->lineEdit()) << text(w.Trx())
                          << text(w.statusPanel(1), QAccessible::Description)
                          << text(w.statusPanel(2), QAccessible::Description);
        };
        const QStringList italian = {
            "Connetti", "Disconnetti",   "Salva",     "Cancella",          "Italiano",
            "Inglese",  "Porta seriale", "Terminale", "Stato connessione", "Tempo connessione"};
        const QStringList english = {"Connect",        "Disconnect", "Save",
                                     "Clear",          "Italian",    "English",
                                     "Serial port",    "Terminal",   "Connection state",
                                     "Connection time"};

        QCOMPARE(names(), italian);
        w.SetLanguage(QStringLiteral("en"));
        QCOMPARE(names(), english);
        // A panel's live text is what is read out as its name.
        QCOMPARE(text(w.statusPanel(2)), QStringLiteral("Connection time: 00.00.00"));
        w.SetLanguage(QStringLiteral("it"));
        QCOMPARE(names(), italian);
    }
};

QTEST_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
