#pragma once
// Where the program's own data files are: installed beside the program (<prefix>/share/tarvolintimer for
// <prefix>/bin), in the build tree when run from there (share/tarvolintimer beside src/app), or among the
// desktop's data folders.

#include <QString>

namespace ProgramData {

// The first data folder holding `probe` (a file or folder name relative to it); the folder beside the
// program when none does, so a caller can say where it looked.
QString directory(const QString& probe);

} // namespace ProgramData
