#pragma once

#include "PortNames.h"

#include <QList>

// The serial devices of this computer, as the port layer reports them (it leaves out the
// legacy ports that have no hardware behind them), each with its stable name.
namespace SerialDevices {

QList<PortNames::Device> present();

} // namespace SerialDevices
