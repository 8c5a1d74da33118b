#pragma once

#include "PortNames.h"

#include <QComboBox>

#include <array>

struct UiTexts;

// The port list `Ccom`: the nine entries "COM 1" to "COM 9". The open list shows beside each
// entry the device it opens and what the system says of it, or that it is not present; the
// device is also the entry's tooltip. Only an entry picked from the list (mouse or
// keyboard) chooses a port; text typed into its edit field, Enter included, chooses none,
// and the mouse wheel changes the entry only while the list has the focus.
class PortList : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int kPortCount = 9;
    // Longer device texts are shortened in the middle in the tooltip.
    static constexpr int kMaxTipLength = 200;

    explicit PortList(QWidget *parent = nullptr);

    // Shows entry COM `port` as chosen, or no entry when `port` is not 1 to 9.
    void showPort(int port);
    // Chooses entry COM `port` (1 to 9) as a pick of the user's does.
    void pick(int port);
    void setEntries(const std::array<PortNames::Entry, kPortCount> &entries);
    void setTexts(const UiTexts &texts);

    void showPopup() override;

Q_SIGNALS:
    // The user picked an entry: its port number, 1 to 9.
    void portChosen(int port);
    // The list is about to open: the moment to bring its entries up to date.
    void aboutToOpen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void showEntries();
    void showCurrentDevice();

    std::array<PortNames::Entry, kPortCount> m_entries;
    QString m_absent;
};
