#include "SessionLogFeed.h"

#include "Commands.h"
#include "ConnectionView.h"
#include "InterfaceLink.h"
#include "MainStatusBar.h"

namespace {
const QString kStarted = QStringLiteral("Log started, Telvo L4686SDK " TELVO_VERSION);
const QString kStopped = QStringLiteral("Log stopped");
} // namespace

SessionLogFeed::SessionLogFeed(const Parts &parts, QObject *parent)
    : QObject(parent)
{
    connect(parts.link, &InterfaceLink::frameReceived, this,
            [this](const QString &frame) { record([&] { m_log.received(frame); }); });
    connect(parts.link, &InterfaceLink::probeSent, this,
            [this](const QByteArray &frame) { record([&] { m_log.sent(frame); }); });
    // A key waits in the log until its frame ends or another record comes; only then is
    // there something to write.
    connect(parts.commands, &Commands::keySent, this,
            [this](QChar key) { record([&] { m_log.typed(char(key.toLatin1())); }); });
    connect(parts.commands, &Commands::connecting, this, &SessionLogFeed::onConnecting);
    connect(parts.statusBar, &MainStatusBar::stateShown, this,
            [this](const QString &text) { record([&] { m_log.event(text); }); });
    connect(parts.connectionView, &ConnectionView::lineFailureShown, this,
            &SessionLogFeed::onLineFailure);
}

SessionLogFeed::~SessionLogFeed()
{
    // Nobody is left to tell of a failure.
    if (m_log.isOpen()) {
        m_log.event(kStopped);
        m_log.close(nullptr);
    }
}

bool SessionLogFeed::start(const QString &path, QString *error)
{
    if (m_log.isOpen() || !m_log.open(path, error))
        return false;
    m_log.event(kStarted);
    return m_log.flush(error);
}

bool SessionLogFeed::stop()
{
    if (!m_log.isOpen())
        return true;
    m_log.event(kStopped);
    QString reason;
    if (m_log.close(&reason))
        return true;
    Q_EMIT failed(reason);
    return false;
}

void SessionLogFeed::onConnecting(int port, const QString &device)
{
    record([&] {
        const QString where = device.isEmpty() ? QStringLiteral("no device") : device;
        m_log.event(port > 0 ? QStringLiteral("Connecting: COM %1, %2").arg(port).arg(where)
                             : QStringLiteral("Connecting: no port"));
    });
}

void SessionLogFeed::onLineFailure(const CommError &failure)
{
    record([&] {
        m_log.event(QString::number(failure.number) + QLatin1Char('-') + failure.description);
    });
}

void SessionLogFeed::flush()
{
    QString reason;
    if (!m_log.flush(&reason))
        Q_EMIT failed(reason);
}
