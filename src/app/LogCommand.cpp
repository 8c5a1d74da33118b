#include "LogCommand.h"

#include "Comdlg.h"
#include "SaveFolder.h"
#include "SessionLogFeed.h"
#include "UiTexts.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

namespace {
const QString kFilter = QStringLiteral("Log file") + QChar(0) + QStringLiteral("*.log");
} // namespace

LogCommand::LogCommand(QWidget *window, QAction *entry, SessionLogFeed *feed)
    : QObject(window)
    , m_window(window)
    , m_entry(entry)
    , m_feed(feed)
    , m_texts(&UiTexts::italianTexts())
{
    m_entry->setCheckable(true);
    connect(m_entry, &QAction::triggered, this, &LogCommand::choose);
    connect(m_feed, &SessionLogFeed::failed, this, [this](const QString &reason) {
        m_entry->setChecked(false);
        showFailure(reason, m_feed->path());
    });
}

void LogCommand::setTexts(const UiTexts &texts)
{
    m_texts = &texts;
}

void LogCommand::choose()
{
    if (m_feed->isLogging()) {
        m_feed->stop();
        m_entry->setChecked(false);
        return;
    }
    // The tick shows once a log is really being written.
    m_entry->setChecked(false);
    // An existing log is appended to, so the dialog does not ask before choosing one.
    const QString path =
        Comdlg::ShowFileDialog(m_window, Comdlg::kModeSaveAppend, m_texts->logTitle, QString(),
                               kFilter, SaveFolder::start(), QString());
    if (path.isEmpty())
        return;
    QString reason;
    if (m_feed->start(path, &reason))
        m_entry->setChecked(true);
    else
        showFailure(reason, path);
}

void LogCommand::showFailure(const QString &reason, const QString &path)
{
    QMessageBox::critical(m_window, QCoreApplication::applicationName(),
                          m_texts->msgLogFailed.arg(reason) + QLatin1Char('\n') +
                              QDir::toNativeSeparators(path));
}
