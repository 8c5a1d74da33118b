// Which device each entry of the port list opens, from the user's keys, the assignments
// stored so far and the devices present.

#include "PortNames.h"

#include <QTest>

using namespace Qt::StringLiterals;
using PortNames::Source;

namespace {
const QString kById = u"/dev/serial/by-id/"_s;

// "PATH NAME; ...": a device and its by-id name ("-": it has none, the path stands).
QList<PortNames::Device> devices(const QString &text)
{
    QList<PortNames::Device> list;
    for (const QString &item : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList words = item.split(u' ', Qt::SkipEmptyParts);
        list.append({words[0], words[1] == u"-" ? words[0] : kById + words[1], u"desc"_s});
    }
    return list;
}

// "N=TEXT ..." by entry.
template <typename T> std::array<T, 9> byEntry(const QString &text, T (*make)(const QString &))
{
    std::array<T, 9> result{};
    for (const QString &item : text.split(u' ', Qt::SkipEmptyParts))
        result[item.section(u'=', 0, 0).toInt() - 1] = make(item.section(u'=', 1));
    return result;
}
PortNames::UserKey userKey(const QString &text)
{
    return {text.toUtf8(), QString()};
}
QString storedName(const QString &text)
{
    return text.startsWith(u'/') ? text : kById + text;
}

// "N DEVICE KIND; ...", the entries that are not left to the default: U the user's, B a
// built-in port, A assigned; + present, - not.
QString entriesText(const PortNames::Assignment &a)
{
    QStringList items;
    for (int n = 0; n < 9; ++n) {
        const PortNames::Entry &e = a.entries[n];
        if (e.source == Source::None)
            continue;
        const char kind = e.source == Source::User ? 'U' : e.source == Source::BuiltIn ? 'B' : 'A';
        items << u"%1 %2 %3%4"_s.arg(n + 1)
                     .arg(QString(e.device).remove(kById))
                     .arg(kind)
                     .arg(QChar(e.present ? u'+' : u'-'));
    }
    return items.join(u"; "_s);
}
QString storedText(const PortNames::Assignment &a)
{
    QStringList items;
    for (int n = 0; n < 9; ++n) {
        if (!a.stored[n].isEmpty())
            items << u"%1=%2"_s.arg(n + 1).arg(QString(a.stored[n]).remove(kById));
    }
    return items.join(u' ');
}
} // namespace

class TstPortNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void assign_data()
    {
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("nothing") << u""_s << u""_s << u""_s << u""_s << u""_s;
        QTest::newRow("built-in ports keep their entries")
            << u"/dev/ttyS3 -; /dev/ttyS0 -; /dev/ttyS9 -"_s << u""_s << u""_s
            << u"1 /dev/ttyS0 B+; 2 /dev/ttyS9 A+; 4 /dev/ttyS3 B+"_s << u"2=/dev/ttyS9"_s;
        QTest::newRow("first USB adapter: lowest free entry")
            << u"/dev/ttyS0 -; /dev/ttyUSB0 A"_s << u""_s << u""_s
            << u"1 /dev/ttyS0 B+; 2 /dev/ttyUSB0 A+"_s << u"2=A"_s;
        QTest::newRow("a second one")
            << u"/dev/ttyS0 -; /dev/ttyUSB1 B; /dev/ttyUSB0 A"_s << u""_s << u"2=A"_s
            << u"1 /dev/ttyS0 B+; 2 /dev/ttyUSB0 A+; 3 /dev/ttyUSB1 A+"_s << u"2=A 3=B"_s;
        QTest::newRow("the first unplugged: its entry waits")
            << u"/dev/ttyS0 -; /dev/ttyUSB1 B"_s << u""_s << u"2=A 3=B"_s
            << u"1 /dev/ttyS0 B+; 2 A A-; 3 /dev/ttyUSB1 A+"_s << u"2=A 3=B"_s;
        QTest::newRow("replugged under another name")
            << u"/dev/ttyUSB2 A; /dev/ttyUSB1 B"_s << u""_s << u"2=A 3=B"_s
            << u"2 /dev/ttyUSB2 A+; 3 /dev/ttyUSB1 A+"_s << u"2=A 3=B"_s;
        QTest::newRow("a new device while the first is away")
            << u"/dev/ttyACM0 C"_s << u""_s << u"2=A"_s << u"1 /dev/ttyACM0 A+; 2 A A-"_s
            << u"1=C 2=A"_s;
        QTest::newRow("no by-id name: the path stands")
            << u"/dev/ttyACM0 -"_s << u""_s << u"1=/dev/ttyACM0"_s << u"1 /dev/ttyACM0 A+"_s
            << u"1=/dev/ttyACM0"_s;
        QTest::newRow("a user key names the same device")
            << u"/dev/ttyUSB0 A"_s << u"5=/dev/ttyUSB0"_s << u"2=A"_s << u"5 /dev/ttyUSB0 U+"_s
            << u""_s;
        QTest::newRow("a user key names its by-id link")
            << u"/dev/ttyUSB0 A"_s << u"1=/dev/serial/by-id/A"_s << u""_s << u"1 A U+"_s << u""_s;
        QTest::newRow("a user key takes an assigned entry")
            << u"/dev/ttyUSB0 A"_s << u"2=/dev/elsewhere"_s << u"2=A"_s
            << u"1 /dev/ttyUSB0 A+; 2 /dev/elsewhere U-"_s << u"1=A"_s;
        QTest::newRow("under a user key, an absent device's entry is kept")
            << u""_s << u"2=/dev/elsewhere"_s << u"2=A"_s << u"2 /dev/elsewhere U-"_s << u"2=A"_s;
        QTest::newRow("a user key takes a built-in port's entry")
            << u"/dev/ttyS0 -"_s << u"1=/dev/mine"_s << u""_s
            << u"1 /dev/mine U-; 2 /dev/ttyS0 A+"_s << u"2=/dev/ttyS0"_s;
        QTest::newRow("more devices than free entries")
            << u"/dev/ttyUSB6 U6; /dev/ttyUSB5 U5; /dev/ttyUSB4 U4; /dev/ttyUSB3 U3; "
               "/dev/ttyUSB2 U2; /dev/ttyUSB1 U1; /dev/ttyUSB0 U0; /dev/ttyS2 -"_s
            << u"1=/dev/u1 2=/dev/u2"_s << u"4=A"_s
            << u"1 /dev/u1 U-; 2 /dev/u2 U-; 3 /dev/ttyS2 B+; 4 /dev/ttyUSB5 A+; "
               "5 /dev/ttyUSB0 A+; 6 /dev/ttyUSB1 A+; 7 /dev/ttyUSB2 A+; 8 /dev/ttyUSB3 A+; "
               "9 /dev/ttyUSB4 A+"_s
            << u"4=U5 5=U0 6=U1 7=U2 8=U3 9=U4"_s;
        QTest::newRow("ttyUSB2 before ttyUSB10")
            << u"/dev/ttyUSB10 X; /dev/ttyUSB2 Y"_s << u""_s << u""_s
            << u"1 /dev/ttyUSB2 A+; 2 /dev/ttyUSB10 A+"_s << u"1=Y 2=X"_s;
        QTest::newRow("one device stored twice")
            << u"/dev/ttyUSB0 A"_s << u""_s << u"5=A 2=A"_s << u"2 /dev/ttyUSB0 A+"_s << u"2=A"_s;
    }
    void assign()
    {
        QFETCH(QString, present);
        QFETCH(QString, user);
        QFETCH(QString, stored);
        QFETCH(QString, entries);
        QFETCH(QString, storedAfter);
        const PortNames::Assignment a = PortNames::assign(
            byEntry(user, userKey), byEntry(stored, storedName), devices(present));
        QCOMPARE(entriesText(a), entries);
        QCOMPARE(storedText(a), storedAfter);
        for (int n = 0; n < 9; ++n) {
            const PortNames::Entry &e = a.entries[n];
            if (e.source == Source::None)
                QCOMPARE(e.device, u"/dev/ttyS%1"_s.arg(n));
            QCOMPARE(e.description, e.present ? u"desc"_s : QString());
        }
    }

    // A [Ports] value longer than a path can be is the user's entry, and no device.
    void tooLong()
    {
        std::array<PortNames::UserKey, 9> keys{};
        keys[2].text = QByteArray(PortNames::kMaxPathBytes + 1, 'x');
        keys[3].text = QByteArray(PortNames::kMaxPathBytes, 'y');
        const PortNames::Assignment a = PortNames::assign(keys, {}, devices(u"/dev/ttyUSB0 A"_s));
        QCOMPARE(a.entries[2].source, Source::User);
        QCOMPARE(a.entries[2].device, QString());
        QCOMPARE(a.entries[2].shown.size(), PortNames::kMaxPathBytes + 1);
        QCOMPARE(a.entries[3].device.size(), PortNames::kMaxPathBytes);
        QCOMPARE(a.entries[0].device, u"/dev/ttyUSB0"_s);
    }
};

QTEST_GUILESS_MAIN(TstPortNames)
#include "tst_portnames.moc"
