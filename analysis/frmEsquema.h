#pragma once

#include <QDialog>
#include <QSize>

class QLabel;

namespace vpl {

class Program;

// A scheme window: the picture of the network by which a factor count's degrees are
// combined, under a heading. It computes and stores nothing.
class frmEsquema : public QDialog {
    Q_OBJECT
  public:
    // The other scheme windows have no load step of their own.
    void Form_Load() {}
    void cmdSair_Click();

  protected:
    // `pictureSize` in pixels at 96 dots per inch.
    frmEsquema(Program& program, QWidget* parent, const char* name, const char* caption,
               const char* picture, QSize pictureSize);

    Program& program_;
    QLabel* Label1;
};

class frmEsquema2f : public frmEsquema {
    Q_OBJECT
  public:
    explicit frmEsquema2f(Program& program, QWidget* parent = nullptr);
};

class frmEsquema3f : public frmEsquema {
    Q_OBJECT
  public:
    explicit frmEsquema3f(Program& program, QWidget* parent = nullptr);
};

class frmEsquema4f : public frmEsquema {
    Q_OBJECT
  public:
    explicit frmEsquema4f(Program& program, QWidget* parent = nullptr);
    // The only translated scheme window: its heading follows gIdioma.
    void Form_Load();
};

// The windows for five to eight factors show the four-factor picture: it is the network
// their analysis computes.
class frmEsquema5f : public frmEsquema {
    Q_OBJECT
  public:
    explicit frmEsquema5f(Program& program, QWidget* parent = nullptr);
};

class frmEsquema6f : public frmEsquema {
    Q_OBJECT
  public:
    explicit frmEsquema6f(Program& program, QWidget* parent = nullptr);
};

class frmEsquema7f : public frmEsquema {
    Q_OBJECT
  public:
    explicit frmEsquema7f(Program& program, QWidget* parent = nullptr);
};

class frmEsquema8f : public frmEsquema {
    Q_OBJECT
  public:
    explicit frmEsquema8f(Program& program, QWidget* parent = nullptr);
};

}  // namespace vpl
