// Which device each entry of the port list opens, from the user's keys, the assignments
// stored so far and the devices present.

#include "PortNames.h"

#include <QTest>

using namespace Qt::StringLiterals;
using PortNames::Source;

namespace {
// Short device names: "USB0" is /dev/ttyUSB0, "id/A" a /dev/serial/by-id/ link.
const QString kTty = u"/dev/tty"_s, kById = u"/dev/serial/by-id/"_s;
QString expand(const QString &s)
{
    return s.startsWith(u"id/") ? kById + s.mid(3) : s.startsWith(u'/') ? s : kTty + s;
}
QString shorten(QString s)
{
    return s.startsWith(kById) ? u"id/"_s + s.mid(kById.size()) : s.remove(kTty);
}

// "PATH NAME ...": each device with its by-id name ("-": none, its path stands).
QList<PortNames::Device> devices(const QString &text)
{
    QList<PortNames::Device> list;
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
        const QString path = expand(words[i]);
        list.append({path, words[i + 1] == u"-" ? path : kById + words[i + 1], u"desc"_s});
    }
    return list;
}

// "N=DEVICE ..." by entry.
template <typename T> std::array<T, 9> byEntry(const QString &text)
{
    std::array<T, 9> result{};
    for (const QString &item : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString device = expand(item.section(u'=', 1));
        if constexpr (std::is_same_v<T, QString>)
            result[item.left(1).toInt() - 1] = device;
        else
            result[item.left(1).toInt() - 1] = {device.toUtf8(), QString()};
    }
    return result;
}

// "N DEVICE KIND" of the entries not left to the default, KIND U the user's, B a built-in
// port, A assigned, + present, - not; then "|" and what is stored.
QString text(const PortNames::Assignment &a)
{
    QStringList entries, stored;
    for (int n = 0; n < 9; ++n) {
        const PortNames::Entry &e = a.entries[n];
        if (e.source != Source::None)
            entries << QString::number(n + 1) + u' ' + shorten(e.device) + u' ' +
                           QLatin1Char("UBA"[int(e.source) - 1]) + (e.present ? u'+' : u'-');
        if (!a.stored[n].isEmpty())
            stored << u"%1=%2"_s.arg(n + 1).arg(shorten(a.stored[n]));
    }
    return entries.join(u", "_s) + u" | "_s + stored.join(u' ');
}

// Name; devices present; user keys; stored; entries | stored afterwards.
const char *const kRows[][5] = {
    {"nothing", "", "", "", " | "},
    {"built-in ports keep their entries", "S3 - S0 - S9 -", "", "",
     "1 S0 B+, 2 S9 A+, 4 S3 B+ | 2=S9"},
    {"first USB adapter: lowest free entry", "S0 - USB0 A", "", "", "1 S0 B+, 2 USB0 A+ | 2=id/A"},
    {"a second one", "S0 - USB1 B USB0 A", "", "2=id/A",
     "1 S0 B+, 2 USB0 A+, 3 USB1 A+ | 2=id/A 3=id/B"},
    {"the first unplugged: its entry waits", "USB1 B", "", "2=id/A 3=id/B",
     "2 id/A A-, 3 USB1 A+ | 2=id/A 3=id/B"},
    {"replugged under another name", "USB2 A USB1 B", "", "2=id/A 3=id/B",
     "2 USB2 A+, 3 USB1 A+ | 2=id/A 3=id/B"},
    {"a new device while the first is away", "ACM0 C", "", "2=id/A",
     "1 ACM0 A+, 2 id/A A- | 1=id/C 2=id/A"},
    {"no by-id name: the path stands", "ACM0 -", "", "1=ACM0", "1 ACM0 A+ | 1=ACM0"},
    {"a user key names the same device", "USB0 A", "5=USB0", "2=id/A", "5 USB0 U+ | "},
    {"a user key names its by-id link", "USB0 A", "1=id/A", "", "1 id/A U+ | "},
    {"a user key takes an assigned entry", "USB0 A", "2=/x", "2=id/A",
     "1 USB0 A+, 2 /x U- | 1=id/A"},
    {"a user key over an absent device's entry", "", "2=/x", "2=id/A", "2 /x U- | 2=id/A"},
    {"a user key takes a built-in port's entry", "S0 -", "1=/x", "", "1 /x U-, 2 S0 A+ | 2=S0"},
    {"more devices than free entries",
     "USB6 U6 USB5 U5 USB4 U4 USB3 U3 USB2 U2 USB1 U1 USB0 U0 S2 -", "1=/x 2=/y", "4=id/A",
     "1 /x U-, 2 /y U-, 3 S2 B+, 4 USB5 A+, 5 USB0 A+, 6 USB1 A+, 7 USB2 A+, 8 USB3 A+, "
     "9 USB4 A+ | 4=id/U5 5=id/U0 6=id/U1 7=id/U2 8=id/U3 9=id/U4"},
    {"ttyUSB2 before ttyUSB10", "USB10 X USB2 Y", "", "", "1 USB2 A+, 2 USB10 A+ | 1=id/Y 2=id/X"},
};
} // namespace

class TstPortNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void assign_data()
    {
        for (const char *column : {"present", "user", "stored", "expected"})
            QTest::addColumn<QString>(column);
        for (const auto &row : kRows)
            QTest::newRow(row[0]) << row[1] << row[2] << row[3] << row[4];
    }
    void assign()
    {
        QFETCH(QString, present);
        QFETCH(QString, user);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        const PortNames::Assignment a = PortNames::assign(
            byEntry<PortNames::UserKey>(user), byEntry<QString>(stored), devices(present));
        QCOMPARE(text(a), expected);
        if (a.entries[8].source == Source::None)
            QCOMPARE(a.entries[8].device, u"/dev/ttyS8"_s);
    }

    // A [Ports] value longer than a path can be is the user's entry, and no device.
    void tooLong()
    {
        std::array<PortNames::UserKey, 9> keys{};
        keys[2].text = QByteArray(PortNames::kMaxPathBytes + 1, 'x');
        keys[3].text = QByteArray(PortNames::kMaxPathBytes, 'y');
        const PortNames::Assignment a = PortNames::assign(keys, {}, devices(u"USB0 A"_s));
        QCOMPARE(text(a).left(18), u"1 USB0 A+, 3  U-, "_s);
        QCOMPARE(a.entries[2].shown.size(), PortNames::kMaxPathBytes + 1);
        QCOMPARE(a.entries[3].device.size(), PortNames::kMaxPathBytes);
    }
};

QTEST_GUILESS_MAIN(TstPortNames)
#include "tst_portnames.moc"
