#pragma once

#include <QString>

// Writing the transcript to a text file: its text and one CR LF, one byte per character.
namespace TranscriptFile {

// Writes the transcript into the file at `path`, replacing its content. Every write, flush
// and close is checked; on failure `error` gets the system's description, an existing file
// keeps its old content wherever the new one could not be written completely, and a new file
// that could not be written completely is not left behind. The file stays what it was: a
// regular file with one name, in a folder that may be written, is replaced by a complete new
// file with its owner and mode; any other (a FIFO, a device, a file with several names, one in
// a folder that may not be written) is written into in place. Through a symbolic link, the
// file it names is written.
bool write(const QString &path, const QString &transcript, QString *error);

} // namespace TranscriptFile
