#pragma once

#include <QString>

class QWidget;

// The wrapper around the platform's open and save file dialogs.
namespace Comdlg {

constexpr int kModeOpen = 1;
// The save dialog for a file that is appended to: choosing an existing file asks nothing.
constexpr int kModeSaveAppend = 2;

// Mode 1 shows the open dialog (the file must exist), any other mode the save dialog
// (the folder must exist, replacing a file asks first). `filter` holds pairs of display
// text and pattern separated by NUL characters, as in "Txt file\0*.txt". Returns the
// chosen path, or "" when the user cancelled.
QString ShowFileDialog(QWidget *owner, int mode, const QString &title,
                       const QString &initialFileName, const QString &filter,
                       const QString &initialDirectory, const QString &defaultExtension);

// "Txt file\0*.txt" as the dialog's own filter list: "Txt file (*.txt)".
QStringList nameFilters(const QString &filter);

} // namespace Comdlg
