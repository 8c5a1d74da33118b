#include "HangupCheck.h"

#include <poll.h>

bool HangupCheck::hungUp(qintptr handle)
{
    if (handle < 0)
        return false;
    pollfd fd{};
    fd.fd = int(handle);
    fd.events = 0;
    if (::poll(&fd, 1, 0) <= 0)
        return false;
    return (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}
