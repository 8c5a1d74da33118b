// The settings file is its user's: values are read as written, and the program changes the
// bytes of the values it writes and nothing else. What the window reads and writes of it is
// checked in tst_frmmain.

#include "AppSettings.h"
#include "IniFile.h"
#include "TestSettings.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Name; the file; "set KEY VALUE" or "remove KEY" in section [S]; the value of k before
// (nullptr: no such key); the file afterwards.
const char *const kEdits[][5] = {
    {"in place, blanks and CR LF kept", "[S] ; x\r\nk =  3 \r\nz=1\r\n", "set k 5", "3",
     "[S] ; x\r\nk =  5 \r\nz=1\r\n"},
    {"unchanged", "[S]\nk= 3\n", "set k 3", "3", "[S]\nk= 3\n"},
    {"raw text, , ; # \" and \\ inside", "[S]\nk=/a,b ; c # \"d\\\"\n", "set k x",
     "/a,b ; c # \"d\\\"", "[S]\nk=x\n"},
    {"empty value", "[S]\nk=\n", "set k 1", "", "[S]\nk=1\n"},
    {"new key after the section's last key", "[S]\na=1\n\n; about T\n[T]\nb=2\n", "set k 7",
     nullptr, "[S]\na=1\nk=7\n\n; about T\n[T]\nb=2\n"},
    {"new key, CR LF file", "[S]\r\na=1\r\n", "set k 7", nullptr, "[S]\r\na=1\r\nk=7\r\n"},
    {"new key, no line end at the end", "[S]\na=1", "set k 7", nullptr, "[S]\na=1\nk=7\n"},
    {"a key in a comment is no key", "[S]\n;k=1\n# k=2\n", "set k 3", nullptr,
     "[S]\nk=3\n;k=1\n# k=2\n"},
    {"the last of two counts", "[S]\nk=1\n[T]\nk=9\n[S]\nk=2\n", "set k 3", "2",
     "[S]\nk=1\n[T]\nk=9\n[S]\nk=3\n"},
    {"new section at the end", "; only this", "set k 1", nullptr, "; only this\n\n[S]\nk=1\n"},
    {"remove", "[S]\na=1\nk=2\r\nb=3", "remove k", "2", "[S]\na=1\nb=3"},
    {"byte order mark, bytes not UTF-8", "\xEF\xBB\xBF[S]\nk=\xff\xfe\nz=\xe9\n", "set k 1",
     "\xff\xfe", "\xEF\xBB\xBF[S]\nk=1\nz=\xe9\n"},
};
} // namespace

class TstSettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void edits_data()
    {
        for (const char *column : {"before", "edit", "read", "after"})
            QTest::addColumn<QByteArray>(column);
        for (const auto &row : kEdits)
            QTest::newRow(row[0]) << QByteArray(row[1]) << QByteArray(row[2]) << QByteArray(row[3])
                                  << QByteArray(row[4]);
    }
    void edits()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, edit);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, after);
        IniFile file(before);
        const QList<QByteArray> words = edit.split(' ');
        QCOMPARE(file.value("S", "k"), read);
        QCOMPARE(file.value("S", "k").isNull(), read.isNull());
        const bool changed = words[0] == "set"
                                 ? file.setValue("S", words[1], edit.mid(5 + words[1].size()))
                                 : file.remove("S", words[1]);
        QCOMPARE(file.bytes(), after);
        QCOMPARE(changed, before != after);
    }

    // A file too large to be a settings file is neither read nor written.
    void tooLarge()
    {
        TestSettings files;
        const QByteArray big = "[Option]\nCom=7\n" + QByteArray(IniFile::kMaxSize, ';');
        files.writeIni(big);
        AppSettings settings;
        QCOMPARE(settings.port(), 3);
        settings.setCom(5);
        QCOMPARE(files.readIni(), big);
        files.writeIni(big.first(IniFile::kMaxSize));
        QCOMPARE(settings.port(), 7);
    }
};

QTEST_GUILESS_MAIN(TstSettingsFile)
#include "tst_settingsfile.moc"
