#include "TestSettings.h"

#include <QFile>
#include <QSettings>

TestSettings::TestSettings()
    : m_previous(qgetenv("XDG_CONFIG_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
}

TestSettings::~TestSettings()
{
    if (m_hadPrevious)
        qputenv("XDG_CONFIG_HOME", m_previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString TestSettings::iniPath() const
{
    return m_dir.path() + QStringLiteral("/Telvo4686Sdk.ini");
}

void TestSettings::writeIni(const QByteArray &content) const
{
    QFile file(iniPath());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
}

QByteArray TestSettings::readIni() const
{
    QFile file(iniPath());
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QString TestSettings::value(const QString &key) const
{
    QSettings settings(iniPath(), QSettings::IniFormat);
    return settings.value(key).toString();
}
