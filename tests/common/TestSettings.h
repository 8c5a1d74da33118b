#pragma once

#include "Files.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A private settings folder for one test: points XDG_CONFIG_HOME at a fresh temporary
// folder for as long as it lives, so that no test sees another's (or the user's) settings.
// It names the application as the program is named, which names its settings file.
class TestSettings
{
public:
    TestSettings();
    ~TestSettings();

    QString folder() const { return m_dir.path(); }
    QString iniPath() const;
    void writeIni(const QByteArray &content) const { putFile(iniPath(), content); }
    QByteArray readIni() const { return fileBytes(iniPath()); }
    // The stored text of `key` ("Option/Com"), or a null string when absent.
    QString value(const QString &key) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};
