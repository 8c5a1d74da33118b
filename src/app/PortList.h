#pragma once

#include <QComboBox>

struct UiTexts;

// The port list `Ccom`: the nine entries "COM 1" to "COM 9", each with the device it opens
// as its tooltip. Only an entry picked from the list (mouse or keyboard) chooses a port;
// text typed into its edit field, Enter included, chooses none.
class PortList : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int kPortCount = 9;

    explicit PortList(QWidget *parent = nullptr);

    // Shows entry COM `port` as chosen, or no entry when `port` is not 1 to 9.
    void showPort(int port);
    void setDevice(int port, const QString &device);
    void setTexts(const UiTexts &texts);

Q_SIGNALS:
    // The user picked an entry: its port number, 1 to 9.
    void portChosen(int port);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCurrentDevice();
};
