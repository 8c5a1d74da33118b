#pragma once

#include <QString>

// The text of the help window and the caption of its donate link, in one language.
namespace HelpText {
QString text(const QString &languageCode);
QString donateCaption(const QString &languageCode);
// What a screen reader calls the window's text box.
QString textBoxName(const QString &languageCode);
} // namespace HelpText
