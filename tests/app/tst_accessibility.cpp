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

namespace {

QString accessibleText(QObject *object, QAccessible::Text which)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(which) : QStringLiteral("<no interface>");
}

} // namespace

class TstAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesFollowTheLanguage();
};

void TstAccessibility::namesFollowTheLanguage()
{
    TestSettings settings;
    FrmMain window;

    // Buttons 1, 2, 4, 6, 8, 9, then the port list, the terminal and the panels.
    const auto names = [&window] {
        QStringList result;
        for (int index : {1, 2, 4, 6, 8, 9}) {
            QWidget *button = window.Toolbar()->widgetForAction(window.toolbarButton(index));
            result << accessibleText(button, QAccessible::Name);
        }
        result << accessibleText(window.Ccom()->lineEdit(), QAccessible::Name)
               << accessibleText(window.Trx(), QAccessible::Name)
               << accessibleText(window.statusPanel(1), QAccessible::Description)
               << accessibleText(window.statusPanel(2), QAccessible::Description);
        return result;
    };
    const QStringList italian = {
        "Connetti", "Disconnetti",   "Salva",     "Cancella",          "Italiano",
        "Inglese",  "Porta seriale", "Terminale", "Stato connessione", "Tempo connessione"};
    const QStringList english = {"Connect",          "Disconnect",     "Save",        "Clear",
                                 "Italian",          "English",        "Serial port", "Terminal",
                                 "Connection state", "Connection time"};

    QCOMPARE(names(), italian); // the default language
    window.SetLanguage(QStringLiteral("en"));
    QCOMPARE(names(), english);
    window.SetLanguage(QStringLiteral("it"));
    QCOMPARE(names(), italian);

    // A panel's live text stays what is read out as its name.
    window.SetLanguage(QStringLiteral("en"));
    QCOMPARE(accessibleText(window.statusPanel(2), QAccessible::Name),
             window.statusPanel(2)->text());
    QVERIFY(window.statusPanel(2)->text().startsWith(QLatin1String("Connection time")));
}

QTEST_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
