#include "TestWindow.h"

#include "FrmMain.h"
#include "InterfaceLink.h"
#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>

TestWindow::TestWindow(const QByteArray &ini, bool show)
{
    if (!ini.isNull())
        settings.writeIni(ini);
    m_window = std::make_unique<FrmMain>();
    if (show) {
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("the main window was not shown");
    }
}

TestWindow::~TestWindow() = default;

QAction *TestWindow::action(const QString &name) const
{
    if (name.startsWith(u'm'))
        return m_window->findChild<QAction *>(name);
    const QString prefix = QStringLiteral("Button") + name;
    for (QAction *a : m_window->findChildren<QAction *>()) {
        if (a->objectName().startsWith(prefix) && !a->objectName().at(prefix.size()).isDigit())
            return a;
    }
    return nullptr;
}

void TestWindow::trigger(const QString &name) const
{
    QAction *a = action(name);
    if (!a)
        qFatal("no action %s", qPrintable(name));
    a->trigger();
}

QString TestWindow::panel(int index) const
{
    return m_window->findChild<QLabel *>(QStringLiteral("Panel%1").arg(index))->text();
}

QComboBox *TestWindow::ccom() const
{
    return m_window->findChild<QComboBox *>(QStringLiteral("Ccom"));
}

TerminalView *TestWindow::trx() const
{
    return m_window->findChild<TerminalView *>(QStringLiteral("Trx"));
}

QString TestWindow::transcript() const
{
    return trx()->model()->text();
}

InterfaceLink *TestWindow::link() const
{
    return m_window->findChild<InterfaceLink *>();
}

bool TestWindow::showsClosed() const
{
    return action(QStringLiteral("2"))->isChecked() && !action(QStringLiteral("1"))->isChecked() &&
           ccom()->isEnabled();
}
