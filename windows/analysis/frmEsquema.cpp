#include "analysis/frmEsquema.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <memory>
#include <stdexcept>

#include "analysis/picture_boxes.h"
#include "report/scheme_picture.h"
#include "shell/captions.h"
#include "shell/fonts.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"

namespace vpl {

namespace {

const char* const kHeading = "Esquema de Lógica Paraconsistente Utilizado ";
const char* const kScheme4f = ":/pictures/scheme_4f.svg";
const QSize kScheme4fSize(406, 310);

// The windows for five to eight factors show the four-factor picture: it is the network
// their analysis computes.
const std::array<SchemeMember, 7> kSchemeMembers{{
    {2, "frmEsquema2f", "Esquema 2f", ":/pictures/scheme_2f.svg", QSize(333, 427), false},
    {3, "frmEsquema3f", "Esquema 3f", ":/pictures/scheme_3f.svg", QSize(466, 465), false},
    {4, "frmEsquema4f", "Esquema 4f", kScheme4f, kScheme4fSize, true},
    {5, "frmEsquema5f", "Esquema 5f", kScheme4f, kScheme4fSize, false},
    {6, "frmEsquema6f", "Esquema 6f", kScheme4f, kScheme4fSize, false},
    {7, "frmEsquema7f", "Esquema 7f", kScheme4f, kScheme4fSize, false},
    {8, "frmEsquema8f", "Esquema 8f", kScheme4f, kScheme4fSize, false},
}};

}  // namespace

const SchemeMember& schemeMember(int factors) {
    for (const SchemeMember& member : kSchemeMembers)
        if (member.factors == factors) return member;
    throw std::out_of_range("no scheme window for " + std::to_string(factors) + " factors");
}

frmEsquema::frmEsquema(Program& program, const SchemeMember& member, QWidget* parent)
    : QDialog(parent), program_(program), member_(member) {
    auto* picture = new SvgPictureBox(QString::fromUtf8(member.picture), this);
    // Through twips, so that the picture keeps its size on any screen.
    picture->setFixedSize(twips(member.pixels.width() * kTwipsPerPixelAt96Dpi),
                          twips(member.pixels.height() * kTwipsPerPixelAt96Dpi));
    build(picture);
}

frmEsquema::frmEsquema(Program& program, const SchemeMember& member,
                       const std::vector<core::NetworkColumn>& network, QWidget* parent)
    : QDialog(parent), program_(program), member_(member) {
    auto scheme = std::make_shared<const SchemePicture>(member.factors, network);
    const QSizeF size = scheme->size();  // in twips
    auto* picture = new PictureBox(std::move(scheme), this);
    picture->setFixedSize(twips(size.width()), twips(size.height()));
    build(picture);
}

void frmEsquema::build(QWidget* Picture1) {
    setObjectName(QString::fromUtf8(member_.name));
    setWindowTitle(QString::fromUtf8(member_.caption));

    Label1 = new QLabel(QString::fromUtf8(kHeading), this);
    Label1->setObjectName("Label1");
    Label1->setFont(arialFont(11, true));
    Label1->setStyleSheet("color: #1f3a5f;");

    Picture1->setObjectName("Picture1");

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

void frmEsquema::Form_Load() {
    if (!member_.translated) return;
    applyLanguage(*this, program_.gIdioma, kEsquemaCaptions);
}

void frmEsquema::cmdSair_Click() {
    guarded(this, [&] { close(); });
}

}  // namespace vpl
