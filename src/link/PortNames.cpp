#include "PortNames.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {
// The entry (0-based) that a built-in port keeps, or -1.
int builtInEntry(const QString &path)
{
    static const QRegularExpression builtIn(QStringLiteral("^/dev/ttyS([0-8])$"));
    const QRegularExpressionMatch match = builtIn.match(path);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}
} // namespace

PortNames::Assignment PortNames::assign(const std::array<UserKey, kPortCount> &userKeys,
                                        const std::array<QString, kPortCount> &stored,
                                        const QList<Device> &devices)
{
    Assignment out;
    auto &entries = out.entries;
    QList<bool> placed(devices.size(), false);
    auto place = [&](int n, qsizetype d, Source source) {
        entries[n] = {devices[d].path, devices[d].path, devices[d].description, source, true};
        placed[d] = true;
    };
    auto withStableName = [&](const QString &name) {
        for (qsizetype d = 0; d < devices.size(); ++d) {
            if (devices[d].stableName == name)
                return d;
        }
        return qsizetype(-1);
    };

    // The user's keys win, and take the device they name off the list.
    for (int n = 0; n < kPortCount; ++n) {
        const QByteArray text = userKeys[n].text.trimmed();
        if (text.isEmpty())
            continue;
        Entry &entry = entries[n];
        entry.source = Source::User;
        entry.shown = QFile::decodeName(text);
        if (text.size() > kMaxPathBytes)
            continue;
        entry.device = entry.shown;
        entry.present = !userKeys[n].resolved.isEmpty();
        for (qsizetype d = 0; d < devices.size(); ++d) {
            const Device &device = devices[d];
            if (!placed[d] && (device.path == entry.device || device.stableName == entry.device ||
                               device.path == userKeys[n].resolved)) {
                placed[d] = entry.present = true;
                entry.description = device.description;
                break;
            }
        }
    }
    for (qsizetype d = 0; d < devices.size(); ++d) {
        const int n = builtInEntry(devices[d].path);
        if (!placed[d] && n >= 0 && entries[n].source == Source::None)
            place(n, d, Source::BuiltIn);
    }
    // Devices keep the entries they were given, also while they are not present; an
    // assignment under an entry the user or a built-in port took is kept while its device
    // is away, and dropped when the device comes back and moves.
    for (int n = 0; n < kPortCount; ++n) {
        if (stored[n].isEmpty())
            continue;
        const qsizetype d = withStableName(stored[n]);
        if (entries[n].source != Source::None) {
            if (d < 0)
                out.stored[n] = stored[n];
        } else if (d < 0) {
            entries[n] = {stored[n], stored[n], QString(), Source::Assigned, false};
            out.stored[n] = stored[n];
        } else if (!placed[d]) {
            place(n, d, Source::Assigned);
            out.stored[n] = stored[n];
        }
    }

    QList<qsizetype> fresh;
    for (qsizetype d = 0; d < devices.size(); ++d) {
        if (!placed[d])
            fresh.append(d);
    }
    std::sort(fresh.begin(), fresh.end(), [&](qsizetype a, qsizetype b) {
        const QString &x = devices[a].path, &y = devices[b].path;
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    for (qsizetype d : fresh) {
        auto isFree = [&](const Entry &e) {
            return e.source == Source::None;
        };
        auto isAway = [&](const Entry &e) {
            return e.source == Source::Assigned && !e.present;
        };
        auto it = std::find_if(entries.begin(), entries.end(), isFree);
        if (it == entries.end())
            it = std::find_if(entries.begin(), entries.end(), isAway);
        if (it == entries.end())
            break;
        const int n = int(it - entries.begin());
        place(n, d, Source::Assigned);
        out.stored[n] = devices[d].stableName;
    }

    for (int n = 0; n < kPortCount; ++n) {
        if (entries[n].source == Source::None)
            entries[n].device = entries[n].shown = QStringLiteral("/dev/ttyS") + QString::number(n);
    }
    return out;
}

QString PortNames::windowsDevice(int port)
{
    return port > 0 ? QStringLiteral("COM") + QString::number(port) : QString();
}
