#pragma once

// vpl-cli: the stored decision used from scripts, without a window.

#include <QString>
#include <QStringList>
#include <iosfwd>

namespace vpl::cli {

// Exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kNotPossible = 1;  // the data does not allow what was asked
inline constexpr int kFileError = 2;    // a file missing, damaged, wrongly keyed or unwritable
inline constexpr int kUsage = 64;       // bad arguments

// `arguments` without the program's name; `defaultData` the data file the program uses.
int Run(const QStringList& arguments, const QString& defaultData, std::ostream& out,
        std::ostream& err);

}  // namespace vpl::cli
