#include "AppSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QSettings>
#else
#include "IniFile.h"

#include <cstdio>
#endif

namespace {
const QByteArray kOption = QByteArrayLiteral("Option");
const QByteArray kCom = QByteArrayLiteral("Com");
const QByteArray kLanguage = QByteArrayLiteral("language");
const QByteArray kPorts = QByteArrayLiteral("Ports");
const QByteArray kAssigned = QByteArrayLiteral("AssignedPorts");
constexpr int kPortCount = 9;

QByteArray portKeyName(int port)
{
    return QByteArrayLiteral("COM") + QByteArray::number(port);
}
} // namespace

#ifdef Q_OS_WIN
AppSettings::AppSettings()
    : m_native(new QSettings(QSettings::NativeFormat, QSettings::UserScope, applicationName()))
{
}

AppSettings::~AppSettings()
{
    delete m_native;
}

QByteArray AppSettings::read(const QByteArray &section, const QByteArray &key) const
{
    const QVariant value = m_native->value(QString::fromLatin1(section + '/' + key));
    return value.isValid() ? value.toString().toUtf8() : QByteArray();
}

void AppSettings::write(const QList<Change> &changes)
{
    for (const Change &change : changes) {
        const QString key = QString::fromLatin1(change.section + '/' + change.key);
        if (change.value.isNull())
            m_native->remove(key);
        else if (read(change.section, change.key) != change.value)
            m_native->setValue(key, QString::fromUtf8(change.value));
    }
    m_native->sync();
}
#else
AppSettings::AppSettings()
    : m_path(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
             QLatin1Char('/') + applicationName() + QStringLiteral(".ini"))
{
}

AppSettings::~AppSettings() = default;

namespace {
// Reads the file; one that is there but may not be used is named once on standard error.
bool loadFile(IniFile &file, const QString &path, bool &warned)
{
    const IniFile::Status status = file.load(path);
    if (status == IniFile::Status::Read || status == IniFile::Status::Missing)
        return true;
    if (!warned) {
        warned = true;
        std::fprintf(stderr,
                     "%s: the settings file %s %s: it is neither read nor written, "
                     "the settings are the defaults\n",
                     qPrintable(AppSettings::applicationName()), qPrintable(path),
                     status == IniFile::Status::TooLarge ? "is larger than 1 MB"
                                                         : "cannot be read");
    }
    return false;
}
} // namespace

QByteArray AppSettings::read(const QByteArray &section, const QByteArray &key) const
{
    IniFile file;
    loadFile(file, m_path, m_warned);
    return file.value(section, key);
}

void AppSettings::write(const QList<Change> &changes)
{
    // Read anew, so that what the user changed meanwhile stays as the user left it.
    IniFile file;
    if (!loadFile(file, m_path, m_warned))
        return;
    bool changed = false;
    for (const Change &change : changes) {
        changed |= change.value.isNull() ? file.remove(change.section, change.key)
                                         : file.setValue(change.section, change.key, change.value);
    }
    QString error;
    if (changed && !file.save(m_path, &error)) {
        std::fprintf(stderr, "%s: the settings file %s could not be written: %s\n",
                     qPrintable(applicationName()), qPrintable(m_path), qPrintable(error));
    }
}
#endif

QString AppSettings::applicationName()
{
    return QCoreApplication::applicationName();
}

QString AppSettings::executableName()
{
    // The path of the running file (on Linux read from /proc/self/exe), not argv[0].
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

namespace {
// The port that a stored "Com" text names: 0 to 9, or -1 for none.
int portOf(const QByteArray &stored)
{
    const QByteArray text = stored.trimmed();
    if (text.isEmpty() || text.size() > 3)
        return -1;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
    }
    const int value = text.toInt();
    return value <= 9 ? value : -1;
}
} // namespace

int AppSettings::port() const
{
    const QByteArray stored = read(kOption, kCom);
    return stored.isNull() ? kDefaultPort : portOf(stored);
}

void AppSettings::setCom(int port)
{
    const QByteArray stored = read(kOption, kCom);
    if (!stored.isNull() && portOf(stored) == port)
        return;
    write({{kOption, kCom, QByteArray::number(port)}});
}

QString AppSettings::language() const
{
    const QByteArray stored = read(kOption, kLanguage);
    return stored.isNull() ? kDefaultLanguage : QString::fromUtf8(stored);
}

void AppSettings::setLanguage(const QString &code)
{
    write({{kOption, kLanguage, code.toUtf8()}});
}

QByteArray AppSettings::portKey(int port) const
{
    return read(kPorts, portKeyName(port));
}

QString AppSettings::assignedDevice(int port) const
{
    return QFile::decodeName(read(kAssigned, portKeyName(port)));
}

void AppSettings::setAssignedDevices(const QStringList &devices)
{
    QList<Change> changes;
    for (int port = 1; port <= kPortCount && port <= devices.size(); ++port) {
        const QString &device = devices.at(port - 1);
        changes.append({kAssigned, portKeyName(port),
                        device.isEmpty() ? QByteArray() : QFile::encodeName(device)});
    }
    write(changes);
}
