#include "analysis/frmEsquema.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/fonts.h"
#include "analysis/picture_boxes.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"

namespace vpl {

namespace {

const char* const kHeading = "Esquema de Lógica Paraconsistente Utilizado ";
const char* const kScheme4f = ":/pictures/scheme_4f.svg";
const QSize kScheme4fSize(406, 310);

}  // namespace

frmEsquema::frmEsquema(Program& program, QWidget* parent, const char* name, const char* caption,
                       const char* picture, QSize pictureSize)
    : QDialog(parent), program_(program) {
    setObjectName(QString::fromUtf8(name));
    setWindowTitle(QString::fromUtf8(caption));

    Label1 = new QLabel(QString::fromUtf8(kHeading), this);
    Label1->setObjectName("Label1");
    Label1->setFont(arialFont(11, true));
    Label1->setStyleSheet("color: #1f3a5f;");

    auto* Picture1 = new SvgPictureBox(QString::fromUtf8(picture), this);
    Picture1->setObjectName("Picture1");
    // 15 twips to a pixel at 96 dots per inch, so the picture keeps its size on any screen.
    Picture1->setFixedSize(twips(pictureSize.width() * 15), twips(pictureSize.height() * 15));

    auto* cmdSair = new QPushButton("&Return", this);
    cmdSair->setObjectName("cmdSair");
    cmdSair->setMinimumSize(twips(1400), twips(400));
    connect(cmdSair, &QPushButton::clicked, this, &frmEsquema::cmdSair_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSair);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(240), twips(200), twips(240), twips(200));
    layout->setSpacing(twips(160));
    layout->addWidget(Label1);
    layout->addWidget(Picture1, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmEsquema::cmdSair_Click() {
    guarded(this, [&] { close(); });
}

frmEsquema2f::frmEsquema2f(Program& program, QWidget* parent)
    : frmEsquema(program, parent, "frmEsquema2f", "Esquema 2f", ":/pictures/scheme_2f.svg",
                 QSize(333, 427)) {}

frmEsquema3f::frmEsquema3f(Program& program, QWidget* parent)
    : frmEsquema(program, parent, "frmEsquema3f", "Esquema 3f", ":/pictures/scheme_3f.svg",
                 QSize(466, 465)) {}

frmEsquema4f::frmEsquema4f(Program& program, QWidget* parent)
    : frmEsquema(program, parent, "frmEsquema4f", "Esquema 4f", kScheme4f, kScheme4fSize) {}

void frmEsquema4f::Form_Load() {
    if (program_.gIdioma == 1) Label1->setText("Paraconsistent Logic Scheme Used");
    if (program_.gIdioma == 2)
        Label1->setText(QString::fromUtf8("Esquema de Lógica Paraconsistente utilizado"));
}

frmEsquema5f::frmEsquema5f(Program& program, QWidget* parent)
    : frmEsquema(program, parent, "frmEsquema5f", "Esquema 5f", kScheme4f, kScheme4fSize) {}

frmEsquema6f::frmEsquema6f(Program& program, QWidget* parent)
    : frmEsquema(program, parent, "frmEsquema6f", "Esquema 6f", kScheme4f, kScheme4fSize) {}

frmEsquema7f::frmEsquema7f(Program& program, QWidget* parent)
    : frmEsquema(program, parent, "frmEsquema7f", "Esquema 7f", kScheme4f, kScheme4fSize) {}

frmEsquema8f::frmEsquema8f(Program& program, QWidget* parent)
    : frmEsquema(program, parent, "frmEsquema8f", "Esquema 8f", kScheme4f, kScheme4fSize) {}

}  // namespace vpl
