#include "Comdlg.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

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
    QFileDialog dialog(owner, title, initialDirectory);
    dialog.setObjectName(QStringLiteral("Comdlg"));
    const bool open = mode == kModeOpen;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, open);
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
