#pragma once

class QWidget;
class TranscriptModel;

// The save command: asks for a file in the save dialog and writes the transcript into it;
// a failure is shown in a box with the system's description.
namespace SaveTranscript {

// The transcript is read once the dialog has closed, so that frames received while it was
// open are saved too.
void save(QWidget *owner, const TranscriptModel &transcript);

} // namespace SaveTranscript
