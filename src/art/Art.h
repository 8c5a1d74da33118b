#pragma once

#include <QIcon>

// The program's pictures, drawn as vector art and rendered crisp at every size asked for.
namespace Art {

enum Picture { Connect, Disconnect, Save, Clear, FlagItaly, FlagUk, AppIcon, Donate };

QIcon icon(Picture picture);

} // namespace Art
