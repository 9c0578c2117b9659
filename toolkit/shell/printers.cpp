#include "shell/printers.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QPrinterInfo>
#include <QtConcurrent/QtConcurrentRun>

namespace vpl {

namespace {

std::optional<PrinterList>& fake() {
    static std::optional<PrinterList> printers;
    return printers;
}

// The answer of the service, or the question under way; invalid before the first question.
QFuture<PrinterList>& answer() {
    static QFuture<PrinterList> future;
    return future;
}

PrinterList askService() {
    PrinterList printers;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        printers.installed << info.printerName();
        if (info.isDefault()) printers.defaultName = info.printerName();
    }
    return printers;
}

}  // namespace

void Printers::askInBackground() {
    if (fake() || answer().isValid()) return;
    answer() = QtConcurrent::run(askService);
}

void Printers::whenKnown(QObject* context, std::function<void(const PrinterList&)> show) {
    if (fake()) return show(*fake());
    askInBackground();
    if (answer().isFinished()) return show(answer().result());
    auto* watcher = new QFutureWatcher<PrinterList>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, show] {
        show(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(answer());
}

PrinterList Printers::list() {
    if (fake()) return *fake();
    const PrinterList printers = askService();
    answer() = QtFuture::makeReadyFuture(printers);
    return printers;
}

PrinterList Printers::known() {
    if (fake()) return *fake();
    askInBackground();
    return answer().result();
}

void Printers::setFake(const QStringList& installed, const QString& defaultName) {
    fake() = PrinterList{installed, defaultName};
}

void Printers::clearFake() {
    fake().reset();
}

void PrinterBox::showPrinters(const PrinterList& printers) {
    const bool typed = !currentText().isEmpty() && currentText() != printers_.defaultName;
    const QString text = currentText();
    printers_ = printers;
    clear();
    addItems(printers.installed);
    setEditText(typed ? text : printers.defaultName);
}

void PrinterBox::showPopup() {
    showPrinters(Printers::list());
    QComboBox::showPopup();
}

std::optional<QString> SelecionarImpressora(const QStringList& installed, const QString& name) {
    const QString wanted = name.left(8).toUpper();
    for (const QString& printer : installed)
        if (printer.left(8).toUpper() == wanted) return printer;
    return std::nullopt;
}

}  // namespace vpl
