// Saving into real files: the file stays what it was, a full disk loses nothing, and the save
// dialog starts in a folder that exists.

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

namespace {
QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "(none)"_ba;
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct stat statOf(const QString &path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}
} // namespace

class TstSaveFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keepsWhatTheFileIs()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"old.txt"_s), other = dir.filePath(u"other.txt"_s);
        QString error;
        // A hard link's other name sees the new text.
        QVERIFY(put(file, "old text, longer than the new\r\n"));
        QVERIFY(QFile::link(file, dir.filePath(u"link"_s)));
        QCOMPARE(::link(qPrintable(file), qPrintable(other)), 0);
        QVERIFY(TranscriptFile::write(dir.filePath(u"link"_s), u"*#1##"_s, &error));
        QCOMPARE(bytesOf(other), "*#1##\r\n"_ba);
        QCOMPARE(statOf(other).st_ino, statOf(file).st_ino);
        QVERIFY(S_ISLNK(statOf(dir.filePath(u"link"_s)).st_mode));
        // A FIFO stays a FIFO and its reader gets the text; without a reader the save fails
        // at once instead of waiting for one.
        const QString fifo = dir.filePath(u"fifo"_s);
        QCOMPARE(::mkfifo(qPrintable(fifo), 0600), 0);
        QVERIFY(!TranscriptFile::write(fifo, u"*#1##"_s, &error));
        QCOMPARE(error, u"No such device or address"_s);
        const int reader = ::open(qPrintable(fifo), O_RDONLY | O_NONBLOCK);
        QVERIFY(TranscriptFile::write(fifo, u"*#2##"_s, &error));
        char got[16] = {};
        QCOMPARE(::read(reader, got, sizeof got), 7);
        QCOMPARE(QByteArray(got), "*#2##\r\n"_ba);
        ::close(reader);
        QVERIFY(S_ISFIFO(statOf(fifo).st_mode));
        // Replaced by root, a user's file stays the user's, with its mode.
        if (::geteuid() != 0)
            QSKIP("keeping another user's ownership needs root");
        QVERIFY(put(other, "x") && ::chown(qPrintable(other), 65534, 65534) == 0 &&
                ::chmod(qPrintable(other), 0640) == 0 && ::unlink(qPrintable(file)) == 0);
        QVERIFY(TranscriptFile::write(other, u"*#3##"_s, &error));
        const struct stat st = statOf(other);
        QCOMPARE(st.st_uid, uid_t(65534));
        QCOMPARE(st.st_gid, gid_t(65534));
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        QCOMPARE(bytesOf(other), "*#3##\r\n"_ba);
    }

    void fullDisk_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("linked"); // so written in place
        QTest::addColumn<int>("length");
        QTest::newRow("replaced") << true << false << 100;
        QTest::newRow("in place, longer") << true << true << 30000;
        QTest::newRow("in place, shorter: no new space needed") << true << true << 100;
        QTest::newRow("new file") << false << false << 100;
    }

    // On a full file system every way of writing fails with the system's reason, before the
    // old content is touched, and leaves no file behind.
    void fullDisk()
    {
        QFETCH(bool, exists);
        QFETCH(bool, linked);
        QFETCH(int, length);
        QTemporaryDir dir;
        const QByteArray mount = QFile::encodeName(dir.path());
        if (::mount("tmpfs", mount.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a small tmpfs is not allowed here (the test needs root)");
        const auto unmount = qScopeGuard([&] { ::umount2(mount.constData(), MNT_DETACH); });
        const QString file = dir.filePath(u"old.txt"_s);
        const QByteArray old(24000, 'o');
        QVERIFY(!exists || put(file, old));
        QVERIFY(!linked || ::link(qPrintable(file), qPrintable(dir.filePath(u"b"_s))) == 0);
        put(dir.filePath(u"filler"_s), QByteArray(128 * 1024, 'f')); // fills the disk
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

        QString error;
        const QString transcript(length - 2, u'x');
        const bool fits = linked && length < old.size();
        QCOMPARE(TranscriptFile::write(file, transcript, &error), fits);
        QCOMPARE(error, fits ? QString() : u"No space left on device"_s);
        QCOMPARE(bytesOf(file), fits ? transcript.toLatin1() + "\r\n" : exists ? old : "(none)"_ba);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    // The dialog starts in this run's previous save folder, else the documents folder, else
    // the home folder, whichever exists first; never in the root folder.
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
