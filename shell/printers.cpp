#include "shell/printers.h"

#include <QPrinterInfo>
#include <optional>

namespace vpl {

namespace {

struct FakePrinters {
    QStringList installed;
    QString defaultName;
};

std::optional<FakePrinters>& fake() {
    static std::optional<FakePrinters> printers;
    return printers;
}

}  // namespace

QStringList Printers::installedNames() {
    if (fake()) return fake()->installed;
    return QPrinterInfo::availablePrinterNames();
}

QString Printers::defaultName() {
    if (fake()) return fake()->defaultName;
    return QPrinterInfo::defaultPrinterName();
}

void Printers::setFake(const QStringList& installed, const QString& defaultName) {
    fake() = FakePrinters{installed, defaultName};
}

void Printers::clearFake() {
    fake().reset();
}

}  // namespace vpl
