#pragma once

#include <QSet>
#include <QString>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>

#include "core/fixed4.h"
#include "core/language.h"
#include "core/number_text.h"
#include "store/database.h"

class QLockFile;
class QWidget;

namespace vpl {

// The program's web address: the information window shows it, the report prints it.
inline constexpr const char* kWebAddress = VPL_HOMEPAGE;

// The interface language: gIdioma holds one, and Parametro.Idioma stores it.
using core::Language;

// The window the set-up chain opens next (gProximaJanela): the registration window
// leads on to the factors window, the factors window to the Likert window, each only
// when it was saved.
namespace NextWindow {
inline constexpr std::int16_t None = 0;
inline constexpr std::int16_t Factors = 1;
inline constexpr std::int16_t Likert = 2;
}  // namespace NextWindow

// The windows that other windows open.
enum class WindowId {
    Cadastro,
    Meta,
    Tabela,
    Analise2f,
    Analise3f,
    Analise4f,
    Analise5f,
    Analise6f,
    Analise7f,
    Analise8f,
    Informacoes,
};

// Opens a window modally and returns when it has closed.
using WindowOpener = std::function<void(WindowId, QWidget* parent)>;

// The state shared by every window for the whole run. main() creates one and
// hands it by reference to the main window, which hands it to every window it
// opens; a test builds its own over a temporary data file.
class Program {
  public:
    // `appDir` is the program's folder; the data file lives beside it or, for an installed
    // program, in the user's data folder (locateDataFile).
    explicit Program(QString appDir, core::NumberLocale locale = {});
    ~Program();

    QString appDir;
    core::NumberLocale locale;  // the user's decimal separator, read once at start

    std::unique_ptr<store::Database> dbBanco;  // empty when start-up could not open it
    Language gIdioma = Language::None;
    std::int16_t gProximaJanela = NextWindow::None;
    core::Fixed4 gG1{};
    core::Fixed4 gG2{};
    double gG1n = 0;
    float gG2n = 0;
    // The printer that the last print job selected by its name.
    QString currentPrinter;
    // The messages about stored settings read as the default that were told in this run.
    QSet<QString> toldSettingProblems;

    // How windows open other windows: the real table of windows in the program,
    // a recording one in tests.
    WindowOpener opener;
    QWidget* mainWindow = nullptr;  // the main window, whose menu a language change re-captions
    void open(WindowId id, QWidget* parent);

    QString dataFilePath() const { return dataFile_; }
    // The data file is open but cannot be written: windows show, nothing is saved.
    bool readOnly() const { return dbBanco && dbBanco->readOnly(); }
    // The open database; StoreError with a clear message when start-up failed.
    store::Database& db();

    // Claims the single running instance for this folder and user; false when
    // another instance of this user holds it. The claim lasts as long as this object;
    // claiming again is true at once. A lock file of another user is never taken for an
    // instance, and a lock that cannot be made at all does not stop the program.
    bool claimSingleInstance();
    // The lock file of that claim, in a folder of the user's own.
    QString instanceLockFile() const;

    // Start-up opens the data file on a worker thread while the windows are built: the
    // key derivation alone takes a good part of the start.
    void startOpening();
    // The data file as the opening left it; StoreError when it failed. Opens it now when
    // no opening was started.
    std::unique_ptr<store::Database> takeOpened();

  private:
    QString dataFile_;
    std::unique_ptr<QLockFile> instanceLock_;
    std::future<std::unique_ptr<store::Database>> opening_;
};

// The user's number locale, as the system reports it.
core::NumberLocale systemNumberLocale();

}  // namespace vpl
