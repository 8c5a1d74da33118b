#pragma once

#include <QString>

class QSettings;

// The program's per-user settings: section [Option] with the chosen port ("Com") and the
// user-interface language ("language"), and the read-only [Ports] map from COM n to a device.
// Every write reaches the store at once.
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
    void setCom(int port);

    QString language() const;
    void setLanguage(const QString &code);

    // The device configured for COM n under [Ports], or "" when there is none.
    QString portDevice(int port) const;

    // The application name under which the settings are kept (and the lock, and the title
    // of message boxes): the application's name, which start-up sets to executableName().
    static QString applicationName();
    // The base name of the executable file itself, wherever it was started from and under
    // whatever name: links resolved, without folder and without an extension such as ".exe".
    static QString executableName();

private:
    QString readText(const QString &key, const QString &fallback) const;
    void writeText(const QString &key, const QString &value);

    QSettings *m_settings;
};
