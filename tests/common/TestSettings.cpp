#include "TestSettings.h"

#include "IniFile.h"

#include <QCoreApplication>

TestSettings::TestSettings()
    : m_previous(qgetenv("XDG_CONFIG_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk"));
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

QString TestSettings::value(const QString &key) const
{
    // As the program reads it; QSettings would keep an old copy of a file rewritten twice
    // within its clock's resolution.
    IniFile file;
    file.load(iniPath());
    const qsizetype slash = key.indexOf(u'/');
    return QString::fromUtf8(file.value(key.left(slash).toUtf8(), key.mid(slash + 1).toUtf8()));
}
