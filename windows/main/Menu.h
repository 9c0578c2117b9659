#pragma once

#include <QMainWindow>

#include "shell/windows.h"

class QAction;
class QMenu;

namespace vpl {

class Program;

// The main window: its load is the program's start-up, and its menu is the way
// into every other window.
class Menu : public QMainWindow {
    Q_OBJECT
  public:
    // The other windows are opened through the program's opener.
    explicit Menu(Program& program);
    ~Menu() override;

    enum class StartUp { Continue, Quit };
    // Start-up: single instance, data file, language. Quit only for a second instance.
    StartUp Form_Load();

    // The File menu: a new decision, another one, a copy of this one, the recent ones.
    void mnuNova_Click();
    void mnuAbrir_Click();
    void mnuCopia_Click();
    // The open decision beside others the user chooses.
    void mnuComparar_Click();
    // Opens another data file in place of this one; false when it stays as it was.
    bool openDecision(const QString& file);

    void mnuCad_Click();
    void mnuMeta_Click();
    void mnuTabela_Click();
    void mnuAna_Click();
    void mnuSuporte_Click();
    void mnuSair_Click();

  private:
    void open(WindowId id);
    void showFileInTitle();
    void fillRecentMenu();
    QMenu* recentMenu_ = nullptr;

    Program& program_;
};

}  // namespace vpl
