#pragma once

#include <QString>

// The folder the save dialog starts in: the folder of this run's previous save, the first time
// the user's documents folder, else the home folder. Only a folder that exists is proposed, and
// never the root folder; nothing is stored between runs.
namespace SaveFolder {

QString start();

// Notes the folder of a file that was just saved.
void remember(const QString &savedFile);

} // namespace SaveFolder
