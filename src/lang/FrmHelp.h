#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;

// The help window: how to use the program and what its two connection errors mean, in the
// stored language, with a donate link at the bottom right. It has no owner, so it stays
// open when the main window closes.
class FrmHelp : public QWidget
{
    Q_OBJECT

public:
    // Creates the window if none is open, shows it and brings it to the front.
    static FrmHelp *showHelp();
    static FrmHelp *instance();

    explicit FrmHelp(QWidget *parent = nullptr);
    ~FrmHelp() override;

    QPlainTextEdit *Thelp() const { return m_thelp; }
    QLabel *Llink() const { return m_llink; }
    QLabel *Ipaypal() const { return m_ipaypal; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load();
    void showDonatePicture();

    QPlainTextEdit *m_thelp = nullptr;
    QLabel *m_ipaypal = nullptr;
    QLabel *m_llink = nullptr;
};
