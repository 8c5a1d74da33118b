// The save command through the real file dialog and message boxes, played as a user plays them.

#include "Files.h"
#include "SaveTranscript.h"
#include "TranscriptModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Runs the save command, playing the user: one answer per modal window in order (a dialog that
// stays open after its box gets the next one), the name to type into a file dialog ("" cancels)
// or the button to press in a box ("Yes"). Returns the windows met; one beyond the answers is
// closed, so that a test fails instead of hanging.
QStringList saveAsUser(const TranscriptModel &transcript, QStringList answers)
{
    QStringList seen;
    QList<QPointer<QWidget>> met;
    QTimer poll;
    QElapsedTimer running;
    running.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && running.elapsed() > 10000) { // a window that stays: fail, don't hang
            seen << u"still open: "_s + modal->windowTitle();
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
            return;
        }
        // A dialog gets its next answer only once the box it opened is gone, not while it
        // closes.
        const bool again = met.removeAll(nullptr) > 0 && !met.isEmpty() && met.last() == modal;
        if (!modal || (met.contains(modal) && !again))
            return;
        if (!again)
            met << modal;
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        QObject *target = modal;
        const char *slot = "close";
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            // The user writes the path into the dialog's one text field and presses Save.
            const QList<QLineEdit *> fields = dialog->findChildren<QLineEdit *>();
            seen << u"file dialog '%1' %2 in %3"_s.arg(dialog->windowTitle(),
                                                       dialog->nameFilters().join(u'|'),
                                                       dialog->directory().absolutePath()) +
                        (fields.size() == 1 && !fields.first()->text().isEmpty()
                             ? u" named "_s + fields.first()->text()
                             : QString());
            if (!answer.isEmpty() && fields.size() == 1) {
                fields.first()->setText(answer);
                slot = "accept";
            }
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            const QMetaEnum icons = QMetaEnum::fromType<QMessageBox::Icon>();
            seen << u"%1 box '%2': %3"_s.arg(QLatin1String(icons.valueToKey(box->icon())),
                                             box->windowTitle(), box->text());
            const int key =
                QMetaEnum::fromType<QMessageBox::StandardButtons>().keyToValue(qPrintable(answer));
            if (QAbstractButton *button = box->button(QMessageBox::StandardButton(key)))
                std::tie(target, slot) = std::pair(button, "click");
        } else {
            seen << QLatin1String(modal->metaObject()->className());
        }
        // Queued, as answering may open the next modal window and the poll must go on.
        QMetaObject::invokeMethod(target, slot, Qt::QueuedConnection);
    });
    poll.start(10);
    QWidget owner;
    SaveTranscript::save(&owner, transcript);
    return seen;
}

} // namespace

class TstSaveTranscript : public QObject
{
    Q_OBJECT

    // A home without a documents folder, where a save dialog starts until a save succeeds
    // in a folder that still exists.
    QTemporaryDir m_home;
    const QString m_saveDialog = dialogIn(m_home.path());

    static QString dialogIn(const QString &folder)
    {
        return u"file dialog 'Save File ' Txt file (*.txt) in "_s + folder;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(u"Telvo4686Sdk"_s);
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
    }

    void save_data()
    {
        QTest::addColumn<QString>("transcript");
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray none;
        QTest::newRow("one byte per character")
            << u"caf\u00e9\x00\x01\x7f\x80\xff *#13**15##\r\n"_s << none
            << "caf\xE9\x00\x01\x7f\x80\xff *#13**15##\r\n\r\n"_ba;
        QTest::newRow("replaces a longer file") << u"*#1##"_s << "old content that is longer\r\n"_ba
                                                << "*#1##\r\n"_ba;
        QTest::newRow("cancel writes nothing") << u"*#1##"_s << none << none;
    }

    void save()
    {
        QFETCH(QString, transcript);
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, expected);
        const bool cancel = expected.isNull(); // and shows nothing more
        QTemporaryDir target;
        const QString path = target.filePath(u"transcript.txt"_s);
        QVERIFY(existing.isNull() || putFile(path, existing));
        TranscriptModel model;
        model.append(transcript);

        QStringList expectedSeen{m_saveDialog};
        if (!existing.isNull() && !cancel)
            expectedSeen << u"Warning box 'Save File ': transcript.txt already exists.\n"
                            "Do you want to replace it?"_s;
        QCOMPARE(saveAsUser(model, {cancel ? QString() : path, u"Yes"_s}), expectedSeen);
        QCOMPARE(fileBytes(path), expected);
        QCOMPARE(QDir(target.path()).entryList(QDir::Files),
                 expected.isNull() ? QStringList() : QStringList{u"transcript.txt"_s});
        QCOMPARE(model.text(), transcript);
    }

    // Not even root may create files in /proc/self; the dialog accepts the folder.
    void failedSaveReportsAndLaterSaveWorks()
    {
        if (!QFile::exists(u"/proc/self/comm"_s))
            QSKIP("needs a folder in which no file can be created");
        TranscriptModel model;
        model.append(u"*#1##\r\n"_s);
        QCOMPARE(
            saveAsUser(model, {u"/proc/self/transcript.txt"_s, u"Ok"_s}),
            (QStringList{m_saveDialog, u"Critical box 'Telvo4686Sdk': Operation not permitted"_s}));
        QVERIFY(!QFile::exists(u"/proc/self/transcript.txt"_s));
        QCOMPARE(model.text(), u"*#1##\r\n"_s);

        QTemporaryDir target;
        const QString path = target.filePath(u"later.txt"_s);
        QCOMPARE(saveAsUser(model, {path}), QStringList{m_saveDialog});
        QCOMPARE(fileBytes(path), "*#1##\r\n\r\n"_ba);
    }

    // A path whose folder does not exist is refused with the dialog's own words and the dialog
    // stays open; the next save starts where this one saved, with no name proposed.
    void missingFolderIsRefusedAndNextSaveStartsThere()
    {
        QTemporaryDir target;
        const QString path = target.filePath(u"t.txt"_s);
        const QString missing = target.filePath(u"missing"_s);
        TranscriptModel model;
        QCOMPARE(saveAsUser(model, {missing + u"/t.txt"_s, u"Ok"_s, path}),
                 (QStringList{m_saveDialog,
                              u"Warning box 'Save File ': "_s + missing +
                                  u"\nDirectory not found.\nPlease verify the correct "
                                  "directory name was given."_s,
                              m_saveDialog + u" named "_s + missing + u"/t.txt"_s}));
        QCOMPARE(fileBytes(path), "\r\n"_ba);
        QCOMPARE(saveAsUser(model, {}), QStringList{dialogIn(target.path())});
    }
};

QTEST_MAIN(TstSaveTranscript)
#include "tst_savetranscript.moc"
