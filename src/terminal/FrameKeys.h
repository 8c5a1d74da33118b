#pragma once

#include <QChar>

// The keys that may be typed into a frame: the digits, "*" and "#".
namespace FrameKeys {
inline bool accepts(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'*' || u == u'#';
}
} // namespace FrameKeys
