#include "frames.h"

#include <cstdio>

namespace frames {

bool isWellFormed(const std::string &text)
{
    if (text.empty() || text.front() != '*')
        return false;
    for (char c : text) {
        if (!(c == '*' || c == '#' || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

std::string escaped(const std::string &bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

} // namespace frames

bool FrameCollector::add(const char *data, std::size_t size, Frame &frame)
{
    buf_.append(data, size);
    if (buf_.size() > limit_) {
        const std::size_t excess = buf_.size() - limit_;
        buf_.erase(0, excess);
        dropped_ += excess;
    }
    if (buf_.size() < 2 || buf_.compare(buf_.size() - 2, 2, "##") != 0)
        return false;

    frame.dropped = dropped_;
    frame.wellFormed = dropped_ == 0 && frames::isWellFormed(buf_);
    frame.text.swap(buf_);
    clear();
    return true;
}

void FrameCollector::clear()
{
    buf_.clear();
    dropped_ = 0;
}
