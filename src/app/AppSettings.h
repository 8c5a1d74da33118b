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

    // The stored "Com" text, or the default port as text when there is none.
    QString comText() const;
    void setCom(int port);

    QString language() const;
    void setLanguage(const QString &code);

    // The device configured for COM n under [Ports], or "" when there is none.
    QString portDevice(int port) const;

    // Where the settings live (a file path, or the registry key on Windows).
    QString location() const;

    // The application name under which the settings are kept: the executable's base name.
    static QString applicationName();

private:
    QString readText(const QString &key, const QString &fallback) const;
    void writeText(const QString &key, const QString &value);

    QSettings *m_settings;
};
