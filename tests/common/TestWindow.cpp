#include "TestWindow.h"

#include "FrmMain.h"
#include "InterfaceLink.h"
#include "TerminalView.h"
#include "TranscriptModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSpontaneKeyEvent>
#include <QTest>

QByteArray TestWindow::portsIni(const QStringList &devices, const QByteArray &language, int com)
{
    QByteArray text =
        "[Option]\nCom=" + QByteArray::number(com) + "\nlanguage=" + language + "\n[Ports]\n";
    for (int n = 1; n <= 9; ++n) {
        const QString device = devices.value(n - 1);
        text += "COM" + QByteArray::number(n) + "=" +
                (device.isEmpty() ? "/nonexistent/tty" + QByteArray::number(n) : device.toUtf8()) +
                "\n";
    }
    return text;
}

TestWindow::TestWindow(const QByteArray &ini)
{
    if (!ini.isNull())
        settings.writeIni(ini);
    m_window = std::make_unique<FrmMain>();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("the main window was not shown");
}

TestWindow::~TestWindow() = default;

QAction *TestWindow::action(const QString &name) const
{
    // A toolbar button's name is "Button", its number and a word.
    const QString pattern =
        name.startsWith(u'm') ? QStringLiteral("^%1$") : QStringLiteral("^Button%1[A-Z]");
    return m_window->findChildren<QAction *>(QRegularExpression(pattern.arg(name))).value(0);
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

void TestWindow::turnWheel() const
{
    QLineEdit *edit = ccom()->lineEdit();
    const QPointF at = edit->rect().center();
    QWheelEvent wheel(at, edit->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    // As QTest delivers mouse events: what sendEvent delivers is never spontaneous.
    qApp->notify(edit, &wheel);
}

bool TestWindow::connectNow() const
{
    trigger(QStringLiteral("1"));
    return QTest::qWaitFor([this] { return !ccom()->isEnabled(); }, 10000);
}

ModalAnswerer::ModalAnswerer()
{
    QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            met << box->windowTitle() + u'|' + QString::number(box->icon()) + u'|' + box->text();
            box->reject();
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            auto *field = dialog->findChild<QLineEdit *>();
            met << dialog->windowTitle() + u'|' + dialog->nameFilters().join(u';') + u'|' +
                       field->text();
            field->setText(fileName);
            QMetaObject::invokeMethod(dialog, fileName.isEmpty() ? "reject" : "accept",
                                      Qt::QueuedConnection);
        } else if (modal) {
            met << modal->windowTitle();
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
        }
    });
    m_poll.start(10);
}
