#include "shell/printers.h"

#include <QPrinterInfo>

namespace vpl {

namespace {

std::optional<PrinterList>& fake() {
    static std::optional<PrinterList> printers;
    return printers;
}

}  // namespace

PrinterList Printers::list() {
    if (fake()) return *fake();
    PrinterList printers;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        printers.installed << info.printerName();
        if (info.isDefault()) printers.defaultName = info.printerName();
    }
    return printers;
}

void Printers::setFake(const QStringList& installed, const QString& defaultName) {
    fake() = PrinterList{installed, defaultName};
}

void Printers::clearFake() {
    fake().reset();
}

std::optional<QString> SelecionarImpressora(const QStringList& installed, const QString& name) {
    const QString wanted = name.left(8).toUpper();
    for (const QString& printer : installed)
        if (printer.left(8).toUpper() == wanted) return printer;
    return std::nullopt;
}

}  // namespace vpl
