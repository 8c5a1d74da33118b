// The transcript: its length rule, the shape of its lines, and its file.

#include "TranscriptFile.h"
#include "TranscriptModel.h"

#include <QFile>
#include <QTemporaryDir>
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

    void fileBytes_data()
    {
        QTest::addColumn<QString>("transcript");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty: just CR LF") << QString() << "\r\n"_ba;
        QTest::newRow("one byte per character")
            << u"caf\u00e9 *#13**15##\r\n"_s << "caf\xE9 *#13**15##\r\n\r\n"_ba;
        QTest::newRow("every byte value")
            << QString::fromLatin1(QByteArray("\x00\x01\x7f\x80\xff", 5))
            << QByteArray("\x00\x01\x7f\x80\xff\r\n", 7);
    }
    void fileBytes()
    {
        QFETCH(QString, transcript);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"t.txt"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("a longer old content\r\n") > 0);
        old.close();
        QString error;
        QVERIFY(TranscriptFile::write(path, transcript, &error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes); // replaced, never appended to

        QVERIFY(
            !TranscriptFile::write(dir.filePath(u"no/such/folder/t.txt"_s), transcript, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TstTranscript)
#include "tst_transcript.moc"
