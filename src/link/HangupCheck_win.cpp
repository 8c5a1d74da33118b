#include "HangupCheck.h"

// Windows reports a removed device through the serial port's own errors.
bool HangupCheck::hungUp(qintptr)
{
    return false;
}
