#pragma once

#include <QString>

// Writing the transcript to a text file: its text and one CR LF, one byte per character.
namespace TranscriptFile {

// The folder the save dialog opens in: the program's own folder when the user may write
// there, the user's documents folder otherwise.
QString defaultFolder();

// Replaces the file with the transcript as a whole: on failure an existing file keeps its
// old content and `error` gets the system's description.
bool write(const QString &path, const QString &transcript, QString *error);

} // namespace TranscriptFile
