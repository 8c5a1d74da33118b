#include "LineHangup.h"

// Windows reports a removed device through the serial port's own errors.
bool lineHungUp(qintptr)
{
    return false;
}
