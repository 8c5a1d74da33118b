// Saving the transcript through the real file dialog of the main window.

#include "TestSettings.h"
#include "app/FrmMain.h"
#include "terminal/TranscriptFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <optional>
#include <variant>

using namespace Qt::StringLiterals;

namespace {

// Plays the user in the modal windows that open while a command runs, one answer per window
// in order, and describes every window it meets. A window beyond the answers is closed, so
// a test fails instead of hanging.
class ModalUser : public QObject
{
public:
    // The file to type into a file dialog ("" cancels it), or the button to press in a box.
    using Answer = std::variant<QString, QMessageBox::StandardButton>;

    explicit ModalUser(QList<Answer> answers)
        : m_answers(std::move(answers))
    {
        connect(&m_poll, &QTimer::timeout, this, &ModalUser::poll);
        m_poll.start(10);
    }

    QStringList seen;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || m_met.contains(modal))
            return;
        m_met.append(modal);
        seen << describe(modal);
        const std::optional<Answer> answer =
            m_answers.isEmpty() ? std::nullopt : std::optional(m_answers.takeFirst());
        // Answering may open the next modal window; outside the poll, the poll keeps watching.
        QTimer::singleShot(0, modal, [modal, answer] { respond(modal, answer); });
    }

    static QString describe(QWidget *modal)
    {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            return u"file dialog '%1' %2 in %3"_s.arg(dialog->windowTitle(),
                                                      dialog->nameFilters().join(u'|'),
                                                      dialog->directory().absolutePath());
        }
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            return u"%1 box '%2'%3"_s.arg(
                QLatin1String(QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon())),
                box->windowTitle(), box->text().isEmpty() ? u" without text"_s : QString());
        }
        return QLatin1String(modal->metaObject()->className());
    }

    static void respond(QWidget *modal, const std::optional<Answer> &answer)
    {
        const auto *path = answer ? std::get_if<QString>(&*answer) : nullptr;
        const auto *button = answer ? std::get_if<QMessageBox::StandardButton>(&*answer) : nullptr;
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (dialog && path && !path->isEmpty()) {
            if (auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s))
                name->setText(*path);
            static_cast<QDialog *>(dialog)->accept(); // as the Save button does
        } else if (box && button && box->button(*button)) {
            box->button(*button)->click();
        } else {
            modal->close();
        }
    }

    QList<Answer> m_answers;
    QList<QPointer<QWidget>> m_met;
    QTimer m_poll;
};

// Runs the save command, File > Save or toolbar button 4, with `answers` for the modal
// windows; returns the windows met.
QStringList saveAsUser(FrmMain &w, QList<ModalUser::Answer> answers, bool viaMenu = true)
{
    ModalUser user(std::move(answers));
    if (viaMenu)
        w.menuItem(u"mSave"_s)->trigger();
    else
        w.Toolbar_ButtonClick(4);
    return user.seen;
}

QString saveDialog()
{
    return u"file dialog 'Save File ' Txt file (*.txt) in "_s +
           QDir(QCoreApplication::applicationDirPath()).absolutePath();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TstSaveTranscript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void save_data();
    void save();
    void failedSaveReportsAndLaterSaveWorks();
    void failedWriteKeepsExistingFile();
};

void TstSaveTranscript::initTestCase()
{
    QCoreApplication::setApplicationName(u"Telvo4686Sdk"_s);
}

void TstSaveTranscript::save_data()
{
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<QString>("transcript");
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray none;
    QTest::newRow("empty transcript, menu") << true << QString() << none << false << "\r\n"_ba;
    QTest::newRow("empty transcript, button") << false << QString() << none << false << "\r\n"_ba;
    QTest::newRow("one byte per character") << true << u"caf\u00e9 *#13**15##\r\n"_s << none
                                            << false << "caf\xE9 *#13**15##\r\n\r\n"_ba;
    QTest::newRow("replaces a longer file")
        << false << u"*#1##"_s << "old content that is longer\r\n"_ba << false << "*#1##\r\n"_ba;
    QTest::newRow("cancel writes nothing") << true << u"*#1##"_s << none << true << none;
    QTest::newRow("cancel keeps a file") << true << u"*#1##"_s << "old"_ba << true << "old"_ba;
}

void TstSaveTranscript::save()
{
    QFETCH(bool, viaMenu);
    QFETCH(QString, transcript);
    QFETCH(QByteArray, existing);
    QFETCH(bool, cancel);
    QFETCH(QByteArray, expected);

    TestSettings settings;
    QTemporaryDir target;
    const QString path = target.filePath(u"transcript.txt"_s);
    if (!existing.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    }
    FrmMain w;
    w.transcript().append(transcript);

    QStringList expectedSeen{saveDialog()};
    QList<ModalUser::Answer> answers{cancel ? QString() : path};
    if (!existing.isNull() && !cancel) {
        expectedSeen << u"Warning box 'Save File '"_s;
        answers << QMessageBox::Yes;
    }
    QCOMPARE(saveAsUser(w, answers, viaMenu), expectedSeen);
    QCOMPARE(fileBytes(path), expected);
    QCOMPARE(QDir(target.path()).entryList(QDir::Files),
             expected.isNull() ? QStringList() : QStringList{u"transcript.txt"_s});
    QCOMPARE(w.transcript().text(), transcript);
}

void TstSaveTranscript::failedSaveReportsAndLaterSaveWorks()
{
    // Not even root may create files in /proc/self, and the dialog accepts the folder.
    if (!QFileInfo(u"/proc/self"_s).isDir())
        QSKIP("needs a folder in which no file can be created");
    TestSettings settings;
    FrmMain w;
    w.transcript().append(u"*#1##\r\n"_s);
    const QString panel1 = w.statusPanel(1)->text();

    QCOMPARE(saveAsUser(w, {u"/proc/self/transcript.txt"_s, QMessageBox::Ok}),
             (QStringList{saveDialog(), u"Critical box 'Telvo4686Sdk'"_s}));
    QVERIFY(!QFile::exists(u"/proc/self/transcript.txt"_s));
    QCOMPARE(w.transcript().text(), u"*#1##\r\n"_s);
    QCOMPARE(w.statusPanel(1)->text(), panel1);

    QTemporaryDir target;
    const QString path = target.filePath(u"later.txt"_s);
    QCOMPARE(saveAsUser(w, {path}, false), QStringList{saveDialog()});
    QCOMPARE(fileBytes(path), "*#1##\r\n\r\n"_ba);
}

void TstSaveTranscript::failedWriteKeepsExistingFile()
{
    QString error;
    QTemporaryDir gone;
    const QString inGone = gone.filePath(QStringLiteral("t.txt"));
    QVERIFY(gone.remove());
    QVERIFY(!TranscriptFile::write(inGone, QStringLiteral("abc"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(inGone));

    // An existing file in a folder where nothing can be created: the write fails as a whole
    // and the file keeps its content, rather than being emptied first.
    const QString existing = QStringLiteral("/proc/self/comm");
    if (!QFile::exists(existing))
        QSKIP("needs an existing file in a folder in which no file can be created");
    const QByteArray before = fileBytes(existing);
    error.clear();
    QVERIFY(!TranscriptFile::write(existing, QStringLiteral("x"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(existing), before);
}

QTEST_MAIN(TstSaveTranscript)
#include "tst_savetranscript.moc"
