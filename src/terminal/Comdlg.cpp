#include "Comdlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace {
// A save dialog that refuses a path whose folder does not exist and stays open, saying so with
// the file dialog's own words, as the platform's dialogs do.
class SaveDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        // A native dialog has closed by the time it confirms, and checks the folder itself.
        const bool native = testAttribute(Qt::WA_DontShowOnScreen);
        if (acceptMode() == AcceptSave && !native && !files.isEmpty()) {
            const QFileInfo folder(QFileInfo(files.first()).absolutePath());
            if (!folder.isDir()) {
                QMessageBox::warning(this, windowTitle(),
                                     tr("%1\nDirectory not found.\nPlease verify the "
                                        "correct directory name was given.")
                                         .arg(QDir::toNativeSeparators(folder.filePath())));
                return;
            }
        }
        QFileDialog::accept();
    }
};
} // namespace

QStringList Comdlg::nameFilters(const QString &filter)
{
    QStringList parts = filter.split(QChar(0));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QString Comdlg::ShowFileDialog(QWidget *owner, int mode, const QString &title,
                               const QString &initialFileName, const QString &filter,
                               const QString &initialDirectory, const QString &defaultExtension)
{
    SaveDialog dialog(owner, title);
    // Given a folder that does not exist, the dialog would open in its parent and propose the
    // missing folder's name as the file name.
    if (QFileInfo(initialDirectory).isDir())
        dialog.setDirectory(initialDirectory);
    dialog.setObjectName(QStringLiteral("Comdlg"));
    const bool open = mode == kModeOpen;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, open || mode == kModeSaveAppend);
    dialog.setNameFilters(nameFilters(filter));
    if (!defaultExtension.isEmpty())
        dialog.setDefaultSuffix(defaultExtension);
    if (!initialFileName.isEmpty())
        dialog.selectFile(initialFileName.left(250));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.first());
}
