// The transcript: its length rule and the shape of its lines.

#include "TranscriptModel.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstTranscript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
};

QTEST_APPLESS_MAIN(TstTranscript)
#include "tst_transcript.moc"
