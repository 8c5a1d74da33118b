#include "ConnectionView.h"

#include "MainStatusBar.h"
#include "MainToolbar.h"
#include "PortList.h"
#include "TranscriptModel.h"
#include "UiTexts.h"

#include <QCoreApplication>
#include <QMessageBox>

ConnectionView::ConnectionView(const InterfaceLink &link, const Parts &parts)
    : QObject(parts.window)
    , m_link(link)
    , m_parts(parts)
    , m_texts(&UiTexts::italianTexts())
{
    connect(&link, &InterfaceLink::connected, this, &ConnectionView::onConnected);
    connect(&link, &InterfaceLink::connectFailed, this, &ConnectionView::onConnectFailed);
    connect(&link, &InterfaceLink::disconnected, this, &ConnectionView::showClosed);
    connect(&link, &InterfaceLink::sendFailed, this, &ConnectionView::showClosed);
    connect(&link, &InterfaceLink::lineFailed, this, &ConnectionView::onLineFailed);
    connect(&link, &InterfaceLink::frameReceived, parts.transcript, &TranscriptModel::appendFrame);
    connect(&link, &InterfaceLink::clockTicked, this, &ConnectionView::showConnectionTime);
}

void ConnectionView::setTexts(const UiTexts &texts)
{
    m_texts = &texts;
    showConnectionTime();
}

void ConnectionView::onConnected()
{
    m_parts.statusBar->showState(m_texts->msgConnectionEstablished);
    m_parts.portList->setEnabled(false);
    m_parts.toolbar->showConnected(true);
}

void ConnectionView::onConnectFailed(InterfaceLink::FailReason reason, const CommError &failure)
{
    const QString &why = reason == InterfaceLink::FailReason::ErrorOpenCom
                             ? m_texts->msgErrorOpenCom
                             : m_texts->msgInterfaceNotFound;
    m_parts.statusBar->showState(m_texts->msgConnectionClosed + QStringLiteral(" (") + why +
                                 QLatin1Char(')'));
    m_parts.portList->setEnabled(true);
    m_parts.toolbar->showConnected(false);
    if (failure.failed()) {
        QMessageBox::critical(m_parts.window, QCoreApplication::applicationName(),
                              QString::number(failure.number) + QStringLiteral(" - ") +
                                  failure.description);
    }
}

void ConnectionView::onLineFailed(const CommError &failure)
{
    m_parts.transcript->appendLineFailure(failure.number, failure.description);
    Q_EMIT lineFailureShown(failure);
    showClosed();
}

void ConnectionView::showClosed()
{
    m_parts.toolbar->showConnected(false);
    m_parts.portList->setEnabled(true);
    m_parts.statusBar->showState(m_texts->msgConnectionClosed);
}

void ConnectionView::showConnectionTime()
{
    m_parts.statusBar->showTime(m_link.clock().text(m_texts->msgConnectionTime));
}
