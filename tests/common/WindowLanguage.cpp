#include "WindowLanguage.h"

#include "FrmMain.h"
#include "TerminalView.h"
#include "TestWindow.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// "item English Italian": a menu item by name, or a toolbar button (its tooltip) by number.
const char kTexts[] = "mFile File File,mSave Save Salva,mExit Exit Esci,mTools Tools Strumenti,"
                      "mConnect Connect Connetti,mDisconnect Disconnect Disconnetti,"
                      "mClear Clear Cancella,mLanguage Language Lingua,mIta Italian Italiano,"
                      "mEng English Inglese,mHlp ? ?,mHelp Help Aiuto,mDonate Donate Donazione,"
                      "1 Connect Connetti,2 Disconnect Disconnetti,4 Save Salva,6 Clear Cancella,"
                      "8 Italian Italiano,9 English Inglese";

// What a screen reader is told, in English and in Italian: the names of the buttons, of the
// port list's edit field and of the label that names the list, of the terminal; the panels'
// descriptions; the name of the help menu.
const char *const kNames[] = {
    "Connect|Disconnect|Save|Clear|Italian|English|Serial port|Serial port|Terminal|"
    "Connection state|Connection time|Help",
    "Connetti|Disconnetti|Salva|Cancella|Italiano|Inglese|Porta seriale|Porta seriale|"
    "Terminale|Stato connessione|Tempo connessione|Aiuto"};

QString accessible(QObject *object, QAccessible::Text which = QAccessible::Name)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(which) : u"<no interface>"_s;
}

QString accessibleNames(const TestWindow &w)
{
    QStringList names;
    for (const char *button : {"1", "2", "4", "6", "8", "9"}) {
        names << accessible(
            w.window().findChild<QToolBar *>()->widgetForAction(w.action(QLatin1String(button))));
    }
    names << accessible(w.ccom()->lineEdit());
    // On Linux the list itself is named by the label it is the buddy of.
    QString labelledBy;
    for (const auto &relation :
         QAccessible::queryAccessibleInterface(w.ccom())->relations(QAccessible::Label))
        labelledBy += relation.first->text(QAccessible::Name);
    names << labelledBy << accessible(w.trx());
    for (const QString &panel : {u"Panel1"_s, u"Panel2"_s})
        names << accessible(w.window().findChild<QLabel *>(panel), QAccessible::Description);
    return (names << accessible(w.action(u"mHlp"_s)->menu())).join(u'|');
}

} // namespace

void verifyLanguage(const TestWindow &w, bool italian)
{
    for (const QString &entry : QString::fromUtf8(kTexts).split(u',')) {
        const QStringList t = entry.split(u' ');
        const QAction *action = w.action(t[0]);
        QVERIFY2(action, qPrintable(entry));
        QCOMPARE(t[0].startsWith(u'm') ? action->text() : action->toolTip(), t[italian ? 2 : 1]);
    }
    QCOMPARE(w.action(u"mIta"_s)->isChecked(), italian);
    QCOMPARE(w.action(u"mEng"_s)->isChecked(), !italian);
    QCOMPARE(w.panel(2),
             italian ? u"Tempo connessione: 00.00.00"_s : u"Connection time: 00.00.00"_s);
    QCOMPARE(accessibleNames(w), QLatin1String(kNames[italian]));
    // A panel's live text is what is read out as its name.
    QCOMPARE(accessible(w.window().findChild<QLabel *>(u"Panel2"_s)), w.panel(2));
}
