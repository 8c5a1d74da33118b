#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QSettings;

// The program's per-user settings: section [Option] with the chosen port ("Com") and the
// user-interface language ("language"); on POSIX also the user's own [Ports] map from COM n
// to a device, which the program only reads, and [AssignedPorts], where the program keeps
// the entries it gave to the devices it has seen.
//
// On POSIX the store is the INI file $XDG_CONFIG_HOME/<application>.ini, which belongs to
// its user: it is read anew at every access, and a write changes only the lines of the
// values written (see IniFile), writes nothing when the value is unchanged, and replaces the
// file atomically. A file that cannot be read, or is too large to be a settings file, is
// neither read nor written: the program runs on the defaults and says so on standard error.
// On Windows the store is the native per-user one (QSettings).
class AppSettings
{
public:
    static constexpr int kDefaultPort = 3;
    static inline const QString kDefaultLanguage = QStringLiteral("it");

    AppSettings();
    ~AppSettings();
    AppSettings(const AppSettings &) = delete;
    AppSettings &operator=(const AppSettings &) = delete;

    // The stored port choice, 0 to 9 (the default port when none is stored), or -1 when the
    // stored text names no entry of the port list.
    int port() const;
    // Stores the choice, unless the stored text already names that port.
    void setCom(int port);

    QString language() const;
    void setLanguage(const QString &code);

    // The text the user wrote for COM n under [Ports], as its bytes stand; null when absent.
    QByteArray portKey(int port) const;

    // The stable name of the device the program gave COM n, "" when none.
    QString assignedDevice(int port) const;
    // Stores the assignments of COM 1 to COM 9 (`devices` holds one name per entry, ""
    // for none) in one write; lines of entries that have none are removed.
    void setAssignedDevices(const QStringList &devices);

    // The application name under which the settings are kept (and the lock, and the title
    // of message boxes): the application's name, which start-up sets to executableName().
    static QString applicationName();
    // The base name of the executable file itself, wherever it was started from and under
    // whatever name: links resolved, without folder and without an extension such as ".exe".
    static QString executableName();

private:
    struct Change
    {
        QByteArray section;
        QByteArray key;
        QByteArray value; // null: remove the key
    };
    QByteArray read(const QByteArray &section, const QByteArray &key) const;
    void write(const QList<Change> &changes);

#ifdef Q_OS_WIN
    QSettings *m_native;
#else
    QString m_path;
    mutable bool m_warned = false;
#endif
};
