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

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Plays the user in the modal windows that open while a command runs: each new one goes to
// the next step, in order. One that no step expects is noted and closed, so a test fails
// instead of hanging.
class ModalUser : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;

    explicit ModalUser(QList<Step> steps)
        : m_steps(std::move(steps))
    {
        connect(&m_poll, &QTimer::timeout, this, &ModalUser::poll);
        m_poll.start(10);
    }

    int stepsLeft() const { return int(m_steps.size()); }
    QStringList unexpected;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || m_seen.contains(modal))
            return;
        m_seen.append(modal);
        if (m_steps.isEmpty()) {
            unexpected << modal->metaObject()->className() + QStringLiteral(": ") +
                              modal->windowTitle();
            QTimer::singleShot(0, modal, [modal] { modal->close(); });
            return;
        }
        // A step may open the next modal window itself; it runs outside the poll so the poll
        // keeps watching.
        QTimer::singleShot(0, modal, [modal, step = m_steps.takeFirst()] { step(modal); });
    }

    QList<Step> m_steps;
    QList<QPointer<QWidget>> m_seen;
    QTimer m_poll;
};

struct DialogSeen
{
    QString title;
    QStringList filters;
    QString folder;
};

// The save dialog: note what it offers, then choose `path` (or cancel with an empty path).
ModalUser::Step chooseFile(const QString &path, DialogSeen *seen)
{
    return [path, seen](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        seen->title = dialog->windowTitle();
        seen->filters = dialog->nameFilters();
        seen->folder = dialog->directory().absolutePath();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // What the user types into the file name field.
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(path);
        static_cast<QDialog *>(dialog)->accept(); // as the Save button does
    };
}

struct BoxSeen
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// A message box: note it and press `button`.
ModalUser::Step answerBox(QMessageBox::StandardButton button, BoxSeen *seen)
{
    return [button, seen](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box || !box->button(button)) {
            modal->close();
            return;
        }
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        box->button(button)->click();
    };
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the save command (File > Save or toolbar button 4) with `steps` answering the modal
// windows; returns what did not go as planned, "" when every step ran and nothing else
// opened.
QString saveAsUser(FrmMain &w, QList<ModalUser::Step> steps, bool viaMenu = true)
{
    ModalUser user(std::move(steps));
    if (viaMenu)
        w.menuItem(QStringLiteral("mSave"))->trigger();
    else
        w.Toolbar_ButtonClick(4);
    QStringList problems = user.unexpected;
    if (user.stepsLeft() > 0)
        problems << QStringLiteral("%1 modal window(s) never opened").arg(user.stepsLeft());
    return problems.join(QStringLiteral("; "));
}

} // namespace

class TstSaveTranscript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void save_data();
    void save();
    void cancelWritesNothing();
    void failedSaveReportsAndLaterSaveWorks();
    void failedWriteKeepsExistingFile();
};

void TstSaveTranscript::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Telvo4686Sdk"));
}

void TstSaveTranscript::save_data()
{
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<QString>("transcript");
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty transcript, menu") << true << QString() << QByteArray() << "\r\n"_qba;
    QTest::newRow("empty transcript, button") << false << QString() << QByteArray() << "\r\n"_qba;
    QTest::newRow("one byte per character")
        << true << QStringLiteral("caf") + QChar(0xE9) + QStringLiteral(" *#13**15##\r\n")
        << QByteArray() << "caf\xE9 *#13**15##\r\n\r\n"_qba;
    QTest::newRow("replaces a longer file")
        << false << QStringLiteral("*#1##") << "old content that is longer\r\n"_qba
        << "*#1##\r\n"_qba;
}

void TstSaveTranscript::save()
{
    QFETCH(bool, viaMenu);
    QFETCH(QString, transcript);
    QFETCH(QByteArray, existing);
    QFETCH(QByteArray, expected);

    TestSettings settings;
    QTemporaryDir target;
    const QString path = target.filePath(QStringLiteral("transcript.txt"));
    if (!existing.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    }

    FrmMain w;
    w.transcript().append(transcript);
    DialogSeen dialog;
    BoxSeen confirm;
    QList<ModalUser::Step> steps{chooseFile(path, &dialog)};
    if (!existing.isNull())
        steps << answerBox(QMessageBox::Yes, &confirm);
    QCOMPARE(saveAsUser(w, steps, viaMenu), QString());
    QCOMPARE(dialog.title, QStringLiteral("Save File "));
    QCOMPARE(dialog.filters, QStringList{QStringLiteral("Txt file (*.txt)")});
    QCOMPARE(dialog.folder, QDir(QCoreApplication::applicationDirPath()).absolutePath());
    QCOMPARE(fileBytes(path), expected);
    QCOMPARE(w.transcript().text(), transcript);
    QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList{"transcript.txt"});
}

void TstSaveTranscript::cancelWritesNothing()
{
    TestSettings settings;
    QTemporaryDir target;
    FrmMain w;
    w.transcript().append(QStringLiteral("*#1##\r\n"));
    DialogSeen dialog;
    QCOMPARE(saveAsUser(w, {chooseFile(QString(), &dialog)}), QString());
    QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(w.transcript().text(), QStringLiteral("*#1##\r\n"));
}

void TstSaveTranscript::failedSaveReportsAndLaterSaveWorks()
{
    // Not even root may create files in /proc/self; the dialog accepts the folder.
    if (!QFileInfo(QStringLiteral("/proc/self")).isDir())
        QSKIP("needs a folder in which no file can be created");
    TestSettings settings;
    FrmMain w;
    w.transcript().append(QStringLiteral("*#1##\r\n"));
    const QString panel1 = w.statusPanel(1)->text();

    DialogSeen dialog;
    BoxSeen failure;
    QCOMPARE(saveAsUser(w, {chooseFile(QStringLiteral("/proc/self/transcript.txt"), &dialog),
                            answerBox(QMessageBox::Ok, &failure)}),
             QString());
    QCOMPARE(failure.title, QStringLiteral("Telvo4686Sdk"));
    QCOMPARE(failure.icon, QMessageBox::Critical);
    QVERIFY(!failure.text.isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("/proc/self/transcript.txt")));
    QCOMPARE(w.transcript().text(), QStringLiteral("*#1##\r\n"));
    QCOMPARE(w.statusPanel(1)->text(), panel1);

    QTemporaryDir target;
    const QString path = target.filePath(QStringLiteral("later.txt"));
    QCOMPARE(saveAsUser(w, {chooseFile(path, &dialog)}, false), QString());
    QCOMPARE(fileBytes(path), "*#1##\r\n\r\n"_qba);
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
