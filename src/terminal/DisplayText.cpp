#include "DisplayText.h"

namespace {
// What a screen reader reads must hold no invisible format character (U+200B and its
// kin): the CR of a CR LF is a blank at the end of its line.
constexpr char16_t kLineEndCr = u' ';
constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;
} // namespace

QString displayText(QStringView piece)
{
    QString shown(piece.size(), Qt::Uninitialized);
    QChar *out = shown.data();
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const char16_t c = piece[i].unicode();
        if (c == u'\r' && i + 1 < piece.size() && piece[i + 1] == u'\n')
            out[i] = QChar(kLineEndCr);
        else if (c == u'\n' || c == u'\t')
            out[i] = QChar(c);
        else if (c < 0x20)
            out[i] = QChar(char16_t(kControlPictures + c));
        else if (c == 0x7F)
            out[i] = QChar(kDeletePicture);
        else
            out[i] = QChar(c);
    }
    return shown;
}
