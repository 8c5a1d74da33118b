#include "Commands.h"

#include "AppSettings.h"
#include "FrameKeys.h"
#include "FrmHelp.h"
#include "InterfaceLink.h"
#include "InterfaceSearch.h"
#include "MainToolbar.h"
#include "PortDirectory.h"
#include "SaveTranscript.h"
#include "TranscriptModel.h"
#include "UiTexts.h"

Commands::Commands(const Parts &parts)
    : QObject(parts.window)
    , m_parts(parts)
{
}

void Commands::Toolbar_ButtonClick(int index)
{
    InterfaceLink &link = *m_parts.link;
    switch (index) {
    case MainToolbar::Connect:
        if (!link.isPortOpen()) {
            // A search would hold a port open; the devices may have changed since the list
            // was last opened (an adapter plugged in again under another name).
            m_parts.search->cancel();
            m_parts.ports->refresh();
            const QString device = m_parts.ports->deviceFor(m_portNumber);
            Q_EMIT connecting(m_portNumber, device);
            link.ConnectInterface(device);
        }
        break;
    case MainToolbar::Disconnect:
        if (link.isPortOpen())
            link.Disconnect();
        break;
    case MainToolbar::Save:
        save();
        break;
    case MainToolbar::Clear:
        clear();
        break;
    case MainToolbar::Italian:
        chooseLanguage(LanguageCode::Italian);
        break;
    case MainToolbar::English:
        chooseLanguage(LanguageCode::English);
        break;
    default:
        break;
    }
    m_parts.toolbar->showConnected(link.interfaceAnswered());
}

void Commands::choosePort(int port)
{
    m_parts.settings->setCom(port);
    m_portNumber = quint8(port);
}

void Commands::typeKey(QChar character)
{
    if (!FrameKeys::accepts(character) || !m_parts.link->interfaceAnswered())
        return;
    // The echo always goes to the very end, wherever the caret or the selection is.
    m_parts.transcript->append(QString(character));
    if (m_parts.link->sendTyped(character))
        Q_EMIT keySent(character);
}

void Commands::chooseLanguage(const QString &languageCode)
{
    Q_EMIT languageChosen(languageCode);
    m_parts.settings->setLanguage(languageCode);
}

void Commands::clear()
{
    m_parts.transcript->clear();
}

void Commands::save()
{
    SaveTranscript::save(m_parts.window, *m_parts.transcript);
}

void Commands::showHelp()
{
    // The help window speaks the language stored when it opens.
    FrmHelp::showHelp(m_parts.settings->language());
}
