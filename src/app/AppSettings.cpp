#include "AppSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {
const QString kComKey = QStringLiteral("Option/Com");
const QString kLanguageKey = QStringLiteral("Option/language");
const QString kPortsGroup = QStringLiteral("Ports");

QSettings *openStore()
{
#ifdef Q_OS_WIN
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                         AppSettings::applicationName());
#else
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return new QSettings(dir + QLatin1Char('/') + AppSettings::applicationName() +
                             QStringLiteral(".ini"),
                         QSettings::IniFormat);
#endif
}
} // namespace

AppSettings::AppSettings()
    : m_settings(openStore())
{
}

AppSettings::~AppSettings()
{
    delete m_settings;
}

QString AppSettings::applicationName()
{
    return QCoreApplication::applicationName();
}

QString AppSettings::executableName()
{
    // The path of the running file (on Linux read from /proc/self/exe), not argv[0].
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString AppSettings::readText(const QString &key, const QString &fallback) const
{
    const QVariant value = m_settings->value(key);
    if (!value.isValid())
        return fallback;
    // An INI value with a comma in it comes back as a list; keep the text as it was written.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void AppSettings::writeText(const QString &key, const QString &value)
{
    m_settings->setValue(key, value);
    m_settings->sync();
}

int AppSettings::port() const
{
    const QString text = readText(kComKey, QString::number(kDefaultPort)).trimmed();
    if (text.isEmpty() || text.size() > 3)
        return -1;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    const int value = text.toInt();
    return value <= 9 ? value : -1;
}

void AppSettings::setCom(int port)
{
    writeText(kComKey, QString::number(port));
}

QString AppSettings::language() const
{
    return readText(kLanguageKey, kDefaultLanguage);
}

void AppSettings::setLanguage(const QString &code)
{
    writeText(kLanguageKey, code);
}

QString AppSettings::portDevice(int port) const
{
    return readText(kPortsGroup + QStringLiteral("/COM") + QString::number(port), QString());
}
