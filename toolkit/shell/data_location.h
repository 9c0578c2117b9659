#pragma once

#include <QString>

namespace vpl {

// The application name both executables set before anything asks for the user's data
// folder, so that the program and vpl-cli find the same data file.
inline constexpr const char* kApplicationName = "vpl";

// The data file of a program in `programDir`. Beside the program when `besideProgram`
// (a portable or development copy); otherwise in `userDir`, where the first start copies
// `templateFile`. A file already in `userDir` is the user's data and is never replaced.
// When the copy cannot be made the path is still returned: opening it then fails with
// the engine's message, which names the file.
QString chooseDataFile(const QString& programDir, bool besideProgram, const QString& userDir,
                       const QString& templateFile);

// Whether the data may live beside the program. An installed program (its template is
// installed) never writes under its prefix, even when root could; a data file already
// beside the program is used as it is, read-only or not; otherwise the folder must take
// a new file.
bool keepsDataBeside(const QString& programDir, const QString& templateFile);

// The delivered data file that an installed program copies for each user.
QString installedTemplate(const QString& programDir);

// The platform's application-data folder for this user.
QString userDataFolder();

// All of the above for the program in `programDir`: the file to open.
QString locateDataFile(const QString& programDir);

}  // namespace vpl
