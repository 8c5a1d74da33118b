// The logic behind the link and the transcript: the connection clock, the framing of
// received characters, the transcript's length rule and the shape of its lines, and which
// device each entry of the port list opens, from the user's keys, the assignments stored so
// far and the devices present.

#include "ConnectionClock.h"
#include "PortNames.h"
#include "RxFramer.h"
#include "TranscriptModel.h"

#include <QRandomGenerator>
#include <QTest>

#include <utility>

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

class TestLinkLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clock_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << 0 << u"Connection time: 00.00.00"_s;
        QTest::newRow("59 s") << 59 << u"Connection time: 00.00.59"_s;
        QTest::newRow("1 h 5 min 9 s") << 3909 << u"Connection time: 01.05.09"_s;
        QTest::newRow("an hour less a second") << 3599 << u"Connection time: 00.59.59"_s;
        QTest::newRow("100 h, three digits") << 360000 << u"Connection time: 100.00.00"_s;
        QTest::newRow("past 255 h") << 256 * 3600 + 1 << u"Connection time: 256.00.01"_s;
    }
    void clock()
    {
        QFETCH(int, ticks);
        QFETCH(QString, text);
        ConnectionClock clock;
        for (int i = 0; i < ticks; ++i)
            clock.tick();
        QCOMPARE(clock.text(u"Connection time"_s), text);
        clock.reset();
        QCOMPARE(clock.text(u"Tempo connessione"_s), u"Tempo connessione: 00.00.00"_s);
    }

    // Reads as they come, split at "|", and the frame each completes ("" for none).
    void framing_data()
    {
        for (const char *column : {"reads", "frames", "left"})
            QTest::addColumn<QString>(column);
        const char *const rows[][4] = {
            {"one read", "*#*1##", "*#*1##", ""},
            {"two reads", "*1*1|*11##", "|*1*1*11##", ""},
            {"two frames in one read, one line", "*1##*2##", "*1##*2##", ""},
            {"a frame and the start of the next", "*1##*2|##", "|*1##*2##", ""},
            {"frame end alone waits", "##|*5##", "|##*5##", ""},
            {"three characters", "1##", "1##", ""},
            {"end split between reads", "*1#|#", "|*1##", ""},
            {"no end", "*#*1#", "", "*#*1#"},
            {"empty read", "*1|", "|", "*1"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2])
                                  << QString::fromLatin1(row[3]);
    }
    void framing()
    {
        QFETCH(QString, reads);
        QFETCH(QString, frames);
        QFETCH(QString, left);
        RxFramer framer(10000);
        const QStringList readList = reads.split(u'|'), expected = frames.split(u'|');
        QCOMPARE(readList.size(), expected.size());
        for (qsizetype i = 0; i < readList.size(); ++i)
            QCOMPARE(framer.append(QLatin1StringView(readList[i].toLatin1())).value_or(QString()),
                     expected[i]);
        QCOMPARE(framer.rxBuffer(), left);
    }

    // The bounded receive buffer, fed random reads through the same transcript, gives exactly
    // the text that an unbounded one gives (the fuzz target explores this further).
    void boundedBufferSameTranscript()
    {
        for (quint32 seed = 1; seed <= 300; ++seed) {
            const int limit = 8 + int(seed % 10);
            QRandomGenerator random(seed);
            RxFramer bounded(limit);
            QString unbounded; // a frame is all since the last, 3+ characters ending "##"
            TranscriptModel boundedText(limit), unboundedText(limit);
            for (int i = 0; i < 300; ++i) {
                // Mostly short reads in which "##" and CR LF are frequent; some long runs.
                const bool longRun = random.bounded(10) == 0;
                const int alphabet = longRun && random.bounded(2) ? 2 : 5;
                QString chunk;
                for (int n = longRun ? random.bounded(20, 200) : random.bounded(1, 6); n; --n)
                    chunk += QLatin1Char("ab#\r\n"[random.bounded(alphabet)]);
                if (std::optional<QString> frame =
                        bounded.append(QLatin1StringView(chunk.toLatin1())))
                    boundedText.appendFrame(*frame);
                unbounded += chunk;
                if (unbounded.size() >= 3 && unbounded.endsWith(u"##"_s))
                    unboundedText.appendFrame(std::exchange(unbounded, {}));
                if (random.bounded(8) == 0) { // typed characters land in between
                    const QString typed(1, QLatin1Char("*#15"[random.bounded(4)]));
                    boundedText.append(typed);
                    unboundedText.append(typed);
                }
                if (boundedText.text() != unboundedText.text()) {
                    qWarning("limit %d, seed %u, read %d", limit, seed, i);
                    QCOMPARE(boundedText.text(), unboundedText.text());
                }
                QVERIFY(bounded.rxBuffer().size() <= 2 * limit);
            }
        }
    }

    void limitRule_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("expected");
        const auto x = [](int n) {
            return QString(n, u'x');
        };
        QTest::newRow("exactly the limit is kept")
            << QStringList{u"ab\r\n"_s, x(9996)} << u"ab\r\n"_s + x(9996);
        QTest::newRow("one more drops the first line and its CR LF")
            << QStringList{u"ab\r\n"_s, x(9996), u"z"_s} << x(9996) + u'z';
        QTest::newRow("without CR LF single characters go")
            << QStringList{x(10000), u"abc"_s} << x(9997) + u"abc"_s;
        QTest::newRow("lines first, then single characters")
            << QStringList{u"ab\r\n"_s, x(10001)} << x(10000);
        QTest::newRow("only CR LF at the end empties the text")
            << QStringList{x(9999), u"\r\n"_s} << QString();
        QTest::newRow("a long piece keeps a line that starts at the limit")
            << QStringList{u"old\r\n"_s, u"abc\r\n"_s + x(10000)} << x(10000);
    }

    void limitRule()
    {
        QFETCH(QStringList, pieces);
        QFETCH(QString, expected);
        TranscriptModel model;
        for (const QString &piece : pieces)
            model.append(piece);
        QCOMPARE(model.text(), expected);
    }

    void lineShapes()
    {
        TranscriptModel model;
        model.appendFrame(u"*#*1##"_s);
        model.append(u"*1"_s);
        model.appendFrame(u"*#*0##"_s);
        model.appendLineFailure(5, u"The device was disconnected"_s);
        QCOMPARE(model.text(), u"*#*1##\r\n*1*#*0##\r\n\r\n5-The device was disconnected\r\n"_s);
        model.appendLineFailure(-1, u"x"_s);
        QVERIFY(model.text().endsWith(u"\r\n\r\n-1-x\r\n"_s));
    }

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

QTEST_APPLESS_MAIN(TestLinkLogic)
#include "tst_linklogic.moc"
