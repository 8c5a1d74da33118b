// Saving into real files: the file stays what it was, a full disk loses nothing, and the save
// dialog starts in a folder that exists.

#include "Files.h"
#include "SaveFolder.h"
#include "TranscriptFile.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TstSaveFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void write_data()
    {
        QTest::addColumn<QString>("kind"); // of the file saved over; "" for a new file
        QTest::addColumn<bool>("full");    // on a full file system
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("error"); // "" for a save that works
        const QString noSpace = u"No space left on device"_s;
        QTest::newRow("replaced, full") << u"regular"_s << true << 100 << noSpace;
        QTest::newRow("hard link, full, longer") << u"linked"_s << true << 30000 << noSpace;
        QTest::newRow("hard link, full, shorter") << u"linked"_s << true << 100 << QString();
        QTest::newRow("new, full") << QString() << true << 100 << noSpace;
        QTest::newRow("hard link") << u"linked"_s << false << 100 << QString();
        QTest::newRow("FIFO") << u"fifo"_s << false << 100 << QString();
        QTest::newRow("FIFO without reader: no wait")
            << u"fifo, no reader"_s << false << 100 << u"No such device or address"_s;
        QTest::newRow("another user's, by root") << u"nobody's"_s << false << 100 << QString();
    }

    // Fails with the system's reason before the old content is touched and leaves no file
    // behind; works keeping the kind, the other names, the owner and the mode of the file.
    void write()
    {
        QFETCH(QString, kind);
        QFETCH(bool, full);
        QFETCH(int, length);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QByteArray mount = QFile::encodeName(dir.path());
        if (full && ::mount("tmpfs", mount.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small tmpfs is not allowed here (the test needs root)");
        const auto unmount = qScopeGuard([&] { full && ::umount2(mount.constData(), MNT_DETACH); });
        if (kind == u"nobody's"_s && ::geteuid() != 0)
            QSKIP("keeping another user's ownership needs root");
        const QString file = dir.filePath(u"old.txt"_s), other = dir.filePath(u"other"_s);
        const QByteArray old(24000, 'o');
        const bool fifo = kind.startsWith(u"fifo"_s);
        QVERIFY(fifo ? ::mkfifo(qPrintable(file), 0600) == 0
                     : kind.isEmpty() || putFile(file, old));
        QVERIFY(kind != u"linked"_s || ::link(qPrintable(file), qPrintable(other)) == 0);
        QVERIFY(kind != u"nobody's"_s || (::chown(qPrintable(file), 65534, 65534) == 0 &&
                                          ::chmod(qPrintable(file), 0640) == 0));
        const int reader = kind == u"fifo"_s ? ::open(qPrintable(file), O_RDONLY | O_NONBLOCK) : -1;
        if (full)
            putFile(dir.filePath(u"filler"_s), QByteArray(128 * 1024, 'f'));
        struct stat before = {}, after = {};
        ::stat(qPrintable(file), &before);
        const QStringList names = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

        QString got;
        const QString transcript(length - 2, u'x');
        QCOMPARE(TranscriptFile::write(file, transcript, &got), error.isEmpty());
        QCOMPARE(got, error);
        QByteArray read(length + 1, 0);
        read.truncate(reader < 0 ? 0 : ::read(reader, read.data(), read.size()));
        const QByteArray expected = error.isEmpty()  ? transcript.toLatin1() + "\r\n"
                                    : fifo           ? ""_ba
                                    : kind.isEmpty() ? QByteArray()
                                                     : old;
        QCOMPARE(fifo ? read : fileBytes(file), expected);
        QVERIFY(kind != u"linked"_s || fileBytes(other) == fileBytes(file));
        if (!kind.isEmpty() || !error.isEmpty())
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), names);
        ::stat(qPrintable(file), &after);
        QCOMPARE(after.st_mode, before.st_mode); // a FIFO stays one, the mode stays
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        ::close(reader);
    }

    // The previous save's folder, else the documents folder, else the home folder, whichever
    // exists first; never the root folder.
    void startFolder()
    {
        QTemporaryDir home, saved;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u"config"_s)));
        qputenv("HOME", QFile::encodeName(home.path()));
        QCOMPARE(SaveFolder::start(), home.path());
        QVERIFY(QDir(home.path()).mkdir(u"Documents"_s));
        QCOMPARE(SaveFolder::start(), home.filePath(u"Documents"_s));
        SaveFolder::remember(saved.filePath(u"t.txt"_s));
        QCOMPARE(SaveFolder::start(), saved.path());
        QVERIFY(saved.remove());
        QCOMPARE(SaveFolder::start(), home.filePath(u"Documents"_s));
        qputenv("HOME", "/");
        QCOMPARE(SaveFolder::start(), QDir::tempPath());
    }
};

QTEST_GUILESS_MAIN(TstSaveFile)
#include "tst_savefile.moc"
