#pragma once

#include <QString>
#include <QStringView>

// What the terminal shows for a piece of transcript: one character for each, so that
// positions in the display are positions in the transcript. The CR of a CR LF becomes a
// blank at the end of its line, other control characters their visible symbols.
QString displayText(QStringView piece);
