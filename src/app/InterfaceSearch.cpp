#include "InterfaceSearch.h"

#include "InterfaceLink.h"
#include "MainStatusBar.h"
#include "PortDirectory.h"
#include "UiTexts.h"

#include <QAction>
#include <QCoreApplication>
#include <QMessageBox>

InterfaceSearch::InterfaceSearch(const Parts &parts)
    : QObject(parts.window)
    , m_parts(parts)
    , m_texts(&UiTexts::italianTexts())
{
    connect(&m_finder, &InterfaceFinder::finished, this, &InterfaceSearch::onFinished);
    // Every way into and out of a connection attempt or a connection.
    const InterfaceLink *link = parts.link;
    connect(link, &InterfaceLink::probeSent, this, &InterfaceSearch::updateEnabled);
    connect(link, &InterfaceLink::connected, this, &InterfaceSearch::updateEnabled);
    connect(link, &InterfaceLink::connectFailed, this, &InterfaceSearch::updateEnabled);
    connect(link, &InterfaceLink::disconnected, this, &InterfaceSearch::updateEnabled);
    connect(link, &InterfaceLink::lineFailed, this, &InterfaceSearch::updateEnabled);
    connect(link, &InterfaceLink::sendFailed, this, &InterfaceSearch::updateEnabled);
    updateEnabled();
}

void InterfaceSearch::setTexts(const UiTexts &texts)
{
    m_texts = &texts;
}

void InterfaceSearch::find()
{
    if (m_finder.isRunning() || m_parts.link->state() != InterfaceLink::State::Closed)
        return;
    m_parts.ports->refresh();
    QList<InterfaceFinder::Port> ports;
    const PortDirectory::Entries &entries = m_parts.ports->entries();
    for (int n = 0; n < PortNames::kPortCount; ++n) {
        if (entries[n].present)
            ports.append({n + 1, entries[n].device});
    }
    m_parts.statusBar->showState(m_texts->msgSearching);
    m_finder.start(ports);
    updateEnabled();
}

void InterfaceSearch::cancel()
{
    m_finder.cancel();
    updateEnabled();
}

void InterfaceSearch::onFinished(int port, const QList<InterfaceFinder::Refusal> &refused)
{
    updateEnabled();
    if (port > 0) {
        m_parts.statusBar->showState(m_texts->msgFoundOn.arg(port));
        Q_EMIT found(port);
        return;
    }
    m_parts.statusBar->showState(m_texts->msgNotFoundOnAnyPort);
    if (refused.isEmpty())
        return;
    QStringList lines;
    for (const InterfaceFinder::Refusal &refusal : refused) {
        lines << refusal.device + QStringLiteral(": ") + QString::number(refusal.failure.number) +
                     QStringLiteral(" - ") + refusal.failure.description;
    }
    QMessageBox::critical(m_parts.window, QCoreApplication::applicationName(),
                          lines.join(QLatin1Char('\n')));
}

void InterfaceSearch::updateEnabled()
{
    m_parts.command->setEnabled(!m_finder.isRunning() &&
                                m_parts.link->state() == InterfaceLink::State::Closed);
}
