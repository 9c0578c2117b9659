#pragma once

#include <QString>
#include <QStringList>

namespace vpl {

// The printer service as the windows see it. Tests replace the system's printers with a
// fixed list, so that a window's printer list is the same on every machine.
class Printers {
  public:
    // Device names of the installed printers, in the order the system lists them.
    static QStringList installedNames();
    // The default printer's device name; empty when there is none.
    static QString defaultName();

    static void setFake(const QStringList& installed, const QString& defaultName);
    static void clearFake();
};

}  // namespace vpl
