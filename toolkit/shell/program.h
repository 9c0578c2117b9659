#pragma once

#include <QLockFile>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>

#include "core/fixed4.h"
#include "core/language.h"
#include "core/number_text.h"
#include "engine/networks.h"
#include "shell/recent_files.h"
#include "store/database.h"

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
    Comparar,
};

// Opens a window modally and returns when it has closed.
using WindowOpener = std::function<void(WindowId, QWidget* parent)>;

// The state shared by every window for the whole run. main() creates one and
// hands it by reference to the main window, which hands it to every window it
// opens; a test builds its own over a temporary data file.
class Program {
  public:
    // `appDir` is the program's folder; the data file lives beside it or, for an installed
    // program, in the user's data folder (locateDataFile), unless the user named one.
    explicit Program(QString appDir, core::NumberLocale locale = {}, QString namedDataFile = {});
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
    // The pairs the last analysis combined, by factor (or reference block), nothing for one
    // without answers; the result window places each and their barycentre. The stored
    // weights apply when they are the user's factors.
    std::vector<std::optional<core::EvidencePair>> gPares;
    bool gParesSaoFatores = false;
    // The printer that the last print job selected by its name.
    QString currentPrinter;
    // The data files opened last, for the main window's menu.
    RecentFiles recentFiles;
    // The decisions the comparison window compares: the open one first.
    QStringList filesToCompare;
    // The messages about stored settings read as the default that were told in this run.
    QSet<QString> toldSettingProblems;

    // How windows open other windows: the real table of windows in the program,
    // a recording one in tests.
    WindowOpener opener;
    QWidget* mainWindow = nullptr;  // the main window, whose menu a language change re-captions
    void open(WindowId id, QWidget* parent);

    QString dataFilePath() const { return dataFile_; }
    // The user named the data file (on the command line, from the file manager).
    bool dataFileNamed() const { return dataFileNamed_; }
    // This instance holds the data file (not so when it only reads one another holds).
    bool instanceClaimed() const { return instanceClaimed_; }
    // The data file is open but cannot be written: windows show, nothing is saved.
    bool readOnly() const { return dbBanco && dbBanco->readOnly(); }
    // The open database; StoreError with a clear message when start-up failed.
    store::Database& db();

    // Claims the data file for this instance of this user; false when another instance of
    // this user holds it. The claim lasts as long as this object;
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
    // The data file opened for reading only, as when another instance holds it.
    std::unique_ptr<store::Database> openForReading();

    // Another data file in place of the open one, in two steps so that the user can be
    // asked between them: its claim (not claimed when another instance holds it), then
    // its opening, for reading only when not claimed. The open file stays open, and the
    // other keeps its bytes, when the opening fails (StoreError).
    struct OtherFile {
        QString path;
        bool claimed = false;
        std::unique_ptr<QLockFile> lock;
    };
    OtherFile claimOther(const QString& file) const;
    // The keys derived at earlier openings, kept in the user's cache.
    store::KeptKeys keptKeys() const;
    void switchTo(OtherFile other);

  private:
    QString dataFile_;
    bool dataFileNamed_ = false;
    std::unique_ptr<QLockFile> instanceLock_;
    bool instanceClaimed_ = false;  // also when no lock could be made
    std::future<std::unique_ptr<store::Database>> opening_;
};

// The user's number locale, as the system reports it.
core::NumberLocale systemNumberLocale();

}  // namespace vpl
