#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// The help window: how to use the program and what its two connection errors mean, in the
// language it is opened in, with a donate link at the bottom right. It has no owner, so it
// stays open when the main window closes. A dialog to the keyboard and to screen readers:
// Escape closes it, Tab reaches the link, Enter or Space follows it.
class FrmHelp : public QDialog
{
    Q_OBJECT

public:
    // Creates the window in the language of `languageCode` if none is open, shows it and
    // brings it to the front; an open window keeps its text.
    static FrmHelp *showHelp(const QString &languageCode);
    static FrmHelp *instance();

    explicit FrmHelp(const QString &languageCode, QWidget *parent = nullptr);
    ~FrmHelp() override;

    QPlainTextEdit *Thelp() const { return m_thelp; }
    QLabel *Llink() const { return m_llink; }
    QLabel *Ipaypal() const { return m_ipaypal; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load(const QString &language);
    void showDonatePicture();

    QPlainTextEdit *m_thelp = nullptr;
    QLabel *m_ipaypal = nullptr;
    QLabel *m_llink = nullptr;
};
