#pragma once

#include <QStatusBar>

class QLabel;
struct UiTexts;

// The status bar `StBar`: panel 1 shows the state of the connection, panel 2 how long it
// has lasted. Both keep their widths whatever they show.
class MainStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit MainStatusBar(QWidget *parent = nullptr);

    void showState(const QString &text);
    void showTime(const QString &text);
    void setTexts(const UiTexts &texts);

Q_SIGNALS:
    // Panel 1 shows `text` now.
    void stateShown(const QString &text);

private:
    QLabel *m_panel1;
    QLabel *m_panel2;
};
