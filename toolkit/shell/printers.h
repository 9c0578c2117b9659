#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vpl {

// The installed printers as the system lists them, and its default one.
struct PrinterList {
    QStringList installed;  // device names, in the system's order
    QString defaultName;    // empty when there is none
};

// The printer service as the windows see it. Asking it takes a round trip to the print
// service (about 10 ms with CUPS), so it is asked once per run on a worker thread and again
// only when the user opens a printer box. Tests replace the system's printers with a fixed
// list, so that a window's printer list is the same on every machine.
class Printers {
  public:
    // Starts the question on a worker thread, unless it has been asked already.
    static void askInBackground();
    // Calls `show` with the list on the GUI thread: at once when it is known, else when the
    // worker's answer comes, unless `context` has gone by then.
    static void whenKnown(QObject* context, std::function<void(const PrinterList&)> show);
    // The list, asked of the service now; the windows then get this answer.
    static PrinterList list();
    // The last answer, waiting for a question still under way.
    static PrinterList known();

    static void setFake(const QStringList& installed, const QString& defaultName);
    static void clearFake();
};

// A printer box that asks the print service again when the user opens its list.
class PrinterBox : public QComboBox {
  public:
    using QComboBox::QComboBox;
    // Shows the printers with the default one as the box's text; a name the user typed stays.
    void showPrinters(const PrinterList& printers);
    void showPopup() override;
    const PrinterList& printers() const { return printers_; }

  private:
    PrinterList printers_;
};

// The installed printer that a picked name stands for: the first, in the system's order,
// whose device name agrees with it in the first 8 characters, letter case aside.
std::optional<QString> SelecionarImpressora(const QStringList& installed, const QString& name);

}  // namespace vpl
