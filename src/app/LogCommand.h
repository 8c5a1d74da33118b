#pragma once

#include <QObject>

class QAction;
class QWidget;
class SessionLogFeed;
struct UiTexts;

// File > Log to file...: a ticked entry while the session log is written. Chosen unticked,
// it asks for a file in the save dialog and starts the log there; chosen ticked, it stops
// the log. A log that cannot be written is said in a box, and the entry is unticked.
class LogCommand : public QObject
{
    Q_OBJECT

public:
    LogCommand(QWidget *window, QAction *entry, SessionLogFeed *feed);

    // The language of the dialog and the box.
    void setTexts(const UiTexts &texts);

private:
    void choose();
    void showFailure(const QString &reason, const QString &path);

    QWidget *m_window;
    QAction *m_entry;
    SessionLogFeed *m_feed;
    const UiTexts *m_texts;
};
