#pragma once

#include <cstddef>
#include <string>

namespace frames {

inline const std::string ack = "*#*1##";
inline const std::string nack = "*#*0##";
inline const std::string eventOn = "*1*1*11##";
inline const std::string eventOff = "*1*0*11##";

// A frame is well formed when it starts with '*' and holds nothing but digits, '*' and '#'.
bool isWellFormed(const std::string &text);

// Printable ASCII as is, everything else (and the backslash) as an escape such as \x01.
std::string escaped(const std::string &bytes);

} // namespace frames

// Gathers received bytes into frames. The collected text is checked after each chunk handed
// to add(), i.e. after each read() from the line: when it then ends with "##", all of it is
// one frame. So "*1##*2##" arriving in one read is one frame (well formed, answered once),
// while the same bytes arriving as "*1##" and "*2##" are two.
//
// At most `limit` bytes are kept; a peer that never sends "##" cannot grow memory. When older
// bytes had to be dropped, the frame is incomplete and therefore never well formed.
class FrameCollector
{
public:
    struct Frame
    {
        std::string text;        // the kept bytes, ending with "##"
        std::size_t dropped = 0; // bytes cut from the front
        bool wellFormed = false;
    };

    explicit FrameCollector(std::size_t limit = 64 * 1024)
        : limit_(limit)
    {
    }

    // Adds one received chunk; returns true and fills `frame` when a frame is complete.
    bool add(const char *data, std::size_t size, Frame &frame);
    void clear();

private:
    std::string buf_;
    std::size_t dropped_ = 0;
    std::size_t limit_;
};
