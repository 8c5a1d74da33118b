#pragma once

#include <QToolBar>

class PortList;
class QLabel;
struct UiTexts;

// The toolbar: nine entries addressed by their 1-based index, separators included, and the
// port list at its right end. Connect and Disconnect form a pair of which exactly one is
// shown pressed.
class MainToolbar : public QToolBar
{
    Q_OBJECT

public:
    static constexpr int kButtons = 9;
    enum Button { Connect = 1, Disconnect = 2, Save = 4, Clear = 6, Italian = 8, English = 9 };

    MainToolbar(PortList *portList, QWidget *parent = nullptr);

    QAction *button(int index) const { return m_buttons.value(index - 1); }
    void showConnected(bool connected);
    void setTexts(const UiTexts &texts);

Q_SIGNALS:
    void buttonClicked(int index);

private:
    QList<QAction *> m_buttons;
    QLabel *m_portListLabel;
};
