#pragma once

// What the link tests share: a main window whose COM 1 is a pseudo-terminal, the adapter's
// answer to the probe played on the far end, and a watcher for message boxes.

#include "PtyPeer.h"
#include "TestSettings.h"
#include "app/FrmMain.h"
#include "terminal/TerminalView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <memory>

namespace linktest {

constexpr int kTimeout = 5000; // for what must happen; never reached when all is well
constexpr int kQuiet = 300;    // how long "nothing more happens" is watched
const QByteArray kProbe = "*#13**15##";
const QByteArray kAck = "*#*1##";

enum Button { Connect = 1, Disconnect = 2, Clear = 6 };

// Settings that make the port list's COM 1 open `device`, with `com` stored as the choice.
inline void useDevice(const TestSettings &settings, const QString &device,
                      const QByteArray &language = "it", int com = 1)
{
    settings.writeIni("[Option]\nCom=" + QByteArray::number(com) + "\nlanguage=" + language +
                      "\n[Ports]\nCOM1=" + device.toLocal8Bit() + "\n");
}

inline void click(FrmMain &window, int button)
{
    window.toolbarButton(button)->trigger();
}

inline QString panel(const FrmMain &window, int index)
{
    return window.statusPanel(index)->text();
}

// The visible closed state that every way of losing the connection ends in.
inline bool showsClosed(FrmMain &window)
{
    return !window.link().isPortOpen() && !window.link().interfaceAnswered() &&
           window.toolbarButton(Disconnect)->isChecked() &&
           !window.toolbarButton(Connect)->isChecked() && window.Ccom()->isEnabled() &&
           !window.link().Tcon.isActive();
}

// Plays the adapter on `peer` while the window waits for the answer: collects the probe as
// it arrives and writes `answer` `delayMs` after it is complete.
class ProbeAnswer : public QObject
{
public:
    ProbeAnswer(PtyPeer &peer, QByteArray answer, int delayMs = 0)
        : m_peer(peer)
        , m_answer(std::move(answer))
        , m_delayMs(delayMs)
    {
        m_poll.setInterval(1);
        connect(&m_poll, &QTimer::timeout, this, &ProbeAnswer::poll);
        m_poll.start();
    }

    QByteArray probe() const { return m_probe; }
    bool answered() const { return m_answered; }

private:
    void poll()
    {
        m_probe += m_peer.read(int(kProbe.size() - m_probe.size()), 1);
        if (m_probe.size() < kProbe.size())
            return;
        m_poll.stop();
        QTimer::singleShot(m_delayMs, Qt::PreciseTimer, this, [this] {
            m_peer.write(m_answer);
            m_answered = true;
        });
    }

    PtyPeer &m_peer;
    QByteArray m_answer;
    int m_delayMs;
    QByteArray m_probe;
    bool m_answered = false;
    QTimer m_poll;
};

// Records every message box that opens while it lives, then closes it with its OK button.
class BoxWatcher : public QObject
{
public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    BoxWatcher()
    {
        m_poll.setInterval(5);
        connect(&m_poll, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            boxes.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject();
        });
        m_poll.start();
    }

    QList<Box> boxes;

private:
    QTimer m_poll;
};

// A main window on COM 1 = `device`, built after the settings are written.
inline std::unique_ptr<FrmMain> windowOn(const TestSettings &settings, const QString &device,
                                         const QByteArray &language = "it")
{
    useDevice(settings, device, language);
    auto window = std::make_unique<FrmMain>();
    window->show();
    return window;
}

// Clicks Connect with the adapter answering the probe at once; true when it connected.
inline bool connectAnswered(FrmMain &window, PtyPeer &peer, const QByteArray &answer = kAck)
{
    ProbeAnswer adapter(peer, answer);
    click(window, Connect);
    return window.link().interfaceAnswered() && window.link().isPortOpen() &&
           adapter.probe() == kProbe;
}

} // namespace linktest
