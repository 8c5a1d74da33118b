#pragma once

#include <QtGlobal>

// Whether the device behind an open serial handle has gone away (an unplugged adapter, a
// closed pseudo-terminal). Asked without blocking; false where the platform cannot tell.
bool lineHungUp(qintptr handle);
