#include "SaveTranscript.h"

#include "Comdlg.h"
#include "SaveFolder.h"
#include "TranscriptFile.h"
#include "TranscriptModel.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {
const QString kTitle = QStringLiteral("Save File ");
const QString kFilter = QStringLiteral("Txt file") + QChar(0) + QStringLiteral("*.txt");
} // namespace

void SaveTranscript::save(QWidget *owner, const TranscriptModel &transcript)
{
    const QString path = Comdlg::ShowFileDialog(owner, 0, kTitle, QString(), kFilter,
                                                SaveFolder::start(), QString());
    if (path.isEmpty())
        return;
    QString error;
    if (TranscriptFile::write(path, transcript.text(), &error))
        SaveFolder::remember(path);
    else
        QMessageBox::critical(owner, QCoreApplication::applicationName(), error);
}
