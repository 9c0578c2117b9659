#pragma once

#include <QDialog>
#include <QSize>
#include <vector>

#include "engine/networks.h"

class QLabel;

namespace vpl {

class Program;

// One scheme window of the family frmEsquema2f .. frmEsquema8f.
struct SchemeMember {
    int factors;
    const char* name;     // the window's objectName
    const char* caption;  // "Esquema 2f" ..
    const char* picture;  // resource path
    QSize pixels;         // the picture's size at 96 dots per inch
    bool translated;      // only the four-factor heading follows the interface language
};

// The scheme window of a factor count from 2 to 8; std::out_of_range for any other.
const SchemeMember& schemeMember(int factors);

// A scheme window: the picture of the network by which a factor count's degrees are
// combined, under a heading. It computes and stores nothing.
class frmEsquema : public QDialog {
    Q_OBJECT
  public:
    // The member's stored picture.
    frmEsquema(Program& program, const SchemeMember& member, QWidget* parent = nullptr);
    // The picture drawn from `network`, the one an analysis of the user's own factors ran.
    frmEsquema(Program& program, const SchemeMember& member,
               const std::vector<core::NetworkColumn>& network, QWidget* parent = nullptr);

    void Form_Load();
    void cmdSair_Click();

  private:
    // The window around its picture box, which is sized already.
    void build(QWidget* picture);

    Program& program_;
    const SchemeMember& member_;
    QLabel* Label1;
};

}  // namespace vpl
