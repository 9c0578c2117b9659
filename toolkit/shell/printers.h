#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vpl {

// The installed printers as the system lists them, and its default one.
struct PrinterList {
    QStringList installed;  // device names, in the system's order
    QString defaultName;    // empty when there is none
};

// The printer service as the windows see it. Tests replace the system's printers with a
// fixed list, so that a window's printer list is the same on every machine.
class Printers {
  public:
    // One question to the printing service.
    static PrinterList list();

    static void setFake(const QStringList& installed, const QString& defaultName);
    static void clearFake();
};

// The installed printer that a picked name stands for: the first, in the system's order,
// whose device name agrees with it in the first 8 characters, letter case aside.
std::optional<QString> SelecionarImpressora(const QStringList& installed, const QString& name);

}  // namespace vpl
