#include "analysis/frmResultado.h"

#include <QLabel>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>

#include "engine/barycentre.h"
#include "engine/decision_rule.h"
#include "engine/logical_state.h"
#include "engine/paraconsistent.h"
#include "analysis/frmSensibilidade.h"
#include "analysis/picture_boxes.h"
#include "report/report_actions.h"
#include "shell/controls.h"
#include "shell/decision_settings.h"
#include "shell/fonts.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"

namespace vpl {

namespace {

// Where the guide lines cross until the load moves them through the result point.
constexpr int kDesignPointX = 5955;
constexpr int kDesignPointY = 3345;
// The point's marker is drawn this far up and left of the point; the degree values
// this far right of it (G1) and below it (G2).
constexpr int kMarkerOffset = 35;
constexpr int kValueOffset = 50;

constexpr int kLegendLeft = 8700;
constexpr int kLegendTop = 1090;
constexpr int kLegendWidth = 5400;
constexpr int kLegendHeight = 2700;

constexpr int kWindowWidth = 14500;
// Two lines below the design's height: the barycentre and the legend of the factors' points.
constexpr int kBarycentreTop = 6450;
constexpr int kFactorsLegendTop = 6750;
// And a row for the sensitivity's button.
constexpr int kSensitivityTop = 7100;
constexpr int kWindowHeight = 7650;
constexpr int kFactorMarkerSize = 200;

const QColor kGuideColor(0x1f, 0x3a, 0x5f);

// A rectangle given in twips, as pixels; both edges are converted, so that neighbouring
// rectangles meet exactly.
QRect twipsRect(int left, int top, int width, int height) {
    return QRect(QPoint(twips(left), twips(top)),
                 QPoint(twips(left + width) - 1, twips(top + height) - 1));
}

}  // namespace

frmResultado::frmResultado(Program& program, QWidget* parent) : QDialog(parent), program_(program) {
    setObjectName("frmResultado");
    setWindowTitle("Resultado");
    setFixedSize(twips(kWindowWidth), twips(kWindowHeight));
    setFont(arialFont(9));

    // The pictures write their numbers as the labels do.
    auto* Image1 = new LocaleSvgPictureBox(":/pictures/lattice.svg", program.locale, this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(twipsRect(kLatticeLeft, kLatticeTop, kLatticeRight - kLatticeLeft,
                                  kLatticeBottom - kLatticeTop));
    regions_ = new LatticeRegions(this);
    auto* regions = regions_;
    regions->setObjectName("LatticeRegions");
    regions->setGeometry(twipsRect(core::kLatticeSquareLeft, core::kLatticeSquareTop,
                                   core::kLatticeSquareRight - core::kLatticeSquareLeft,
                                   core::kLatticeSquareBottom - core::kLatticeSquareTop));

    // Design positions; the load moves them through the point.
    Line1 = new LineControl({2475, kDesignPointY}, {7950, kDesignPointY}, kGuideColor, this);
    Line1->setObjectName("Line1");
    Line2 = new LineControl({kDesignPointX, 750}, {kDesignPointX, 6150}, kGuideColor, this);
    Line2->setObjectName("Line2");

    lblPonto =
        label("lblPonto", "", kDesignPointX - kMarkerOffset, kDesignPointY - kMarkerOffset, 90, 90);
    lblPonto->setStyleSheet("background-color: #c00000;");
    lblG1 = label("lblG1", "0,6608", kDesignPointX + kValueOffset, 5800, 800, 260);
    lblG2 = label("lblG2", "0,5042", 2000, kDesignPointY + kValueOffset, 740, 260);
    for (QLabel* value : {lblG1, lblG2}) {
        value->setFont(arialNarrowFont(10, true));
        value->setStyleSheet("color: #c00000;");
    }
    lblG2->setAlignment(Qt::AlignRight | Qt::AlignTop);

    auto* Picture1 = new LocaleSvgPictureBox(":/pictures/legend.svg", program.locale, this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(twipsRect(kLegendLeft, kLegendTop, kLegendWidth, kLegendHeight));

    // The decision at the requirement level, between the legend and the sentence.
    lblDecisao = label("lblDecisao", "", kLegendLeft, 3810, kLegendWidth, 240);
    lblDecisao->setFont(arialFont(10, true));

    QLabel* Label3 = label("Label3", QString::fromUtf8("Resultado da Análise:"), kLegendLeft, 4050,
                           kLegendWidth, 300);
    Label3->setFont(arialFont(10, true));
    lblResultado = label("lblResultado", "", kLegendLeft, 4380, kLegendWidth, 620);
    lblResultado->setWordWrap(true);
    lblResultado->setFont(arialFont(11, true));
    lblResultado->setStyleSheet("color: #1f3a5f;");

    label("Label1", QString::fromUtf8(" Qualidade dos dados utilizados:"), kLegendLeft, 5150, 3000,
          280);
    lblG2n = label("lblG2n", "", kLegendLeft + 3050, 5150, kLegendWidth - 3050, 280);
    label("Label2", QString::fromUtf8("Opinião quanto à decisão:"), kLegendLeft, 5480, 3000, 280);
    lblG1n = label("lblG1n", "", kLegendLeft + 3050, 5480, kLegendWidth - 3050, 280);
    for (QLabel* value : {lblG2n, lblG1n}) value->setFont(arialFont(9, true));

    // Below the sentence and the verdicts, beside the button.
    lblEstado = label("lblEstado", "", kLegendLeft, 5900, kLegendWidth - 1600, 560);
    lblEstado->setWordWrap(true);
    lblEstado->setFont(arialFont(9, true));

    lblBaricentro = label("lblBaricentro", "", 300, kBarycentreTop, kWindowWidth - 600, 260);
    lblBaricentro->setFont(arialFont(9, true));
    lblLegendaFatores = label("lblLegendaFatores", "", 300, kFactorsLegendTop, kWindowWidth - 600, 260);

    QPushButton* cmdSair = namedButton(this, "cmdSair", "&Return");
    cmdSair->setGeometry(twipsRect(kLegendLeft + kLegendWidth - 1500, 5980, 1500, 420));
    connect(cmdSair, &QPushButton::clicked, this, &frmResultado::cmdSair_Click);
    cmdSensibilidade = namedButton(this, "cmdSensibilidade", "&Sensibilidade...");
    cmdSensibilidade->setGeometry(twipsRect(300, kSensitivityTop, 2000, 420));
    connect(cmdSensibilidade, &QPushButton::clicked, this, &frmResultado::cmdSensibilidade_Click);
    QPushButton* cmdSalvarImagem = namedButton(this, "cmdSalvarImagem", "Salvar i&magem...");
    cmdSalvarImagem->setGeometry(twipsRect(2500, kSensitivityTop, 2000, 420));
    connect(cmdSalvarImagem, &QPushButton::clicked, this, [this] {
        guarded(this, [&] {
            LatticeDrawing drawing = drawing_;
            drawing.faint = regions_->faintRegions();
            SavePictureAsked(this, LatticePicture(std::move(drawing)),
                             QString::fromUtf8("Reticulado"));
        });
    });

    // What is drawn over the lattice sits above it, the point above the lines.
    Line1->raise();
    Line2->raise();
    lblPonto->raise();
}

QLabel* frmResultado::label(const char* name, const QString& caption, int left, int top, int width,
                            int height) {
    QLabel* l = namedLabel(this, name, caption);
    l->setGeometry(twipsRect(left, top, width, height));
    return l;
}

void frmResultado::Form_Load() {
    const float v = program_.gG2n;
    const double g = program_.gG1n;
    const core::NumberLocale locale = program_.locale;
    lblG1n->setText(qs(core::FormatGeneral(g, locale)));
    lblG2n->setText(qs(core::FormatGeneral(v, locale)));
    lblG1->setText(qs(core::FormatNumber(g, "0.0000", locale)));
    lblG2->setText(qs(core::FormatNumber(v, "0.0000", locale)));

    const core::PontoReticulado ponto = core::PontoNoReticulado(v, g);
    // Positions are whole twips, as the window's coordinates are.
    const int X = qRound(ponto.X);
    const int Y = qRound(ponto.Y);
    Line1->setEnds({Line1->end1().x(), Y}, {Line1->end2().x(), Y});
    Line2->setEnds({X, Line2->end1().y()}, {X, Line2->end2().y()});
    lblPonto->move(twips(X - kMarkerOffset), twips(Y - kMarkerOffset));
    lblG1->move(twips(X + kValueOffset), lblG1->y());
    lblG2->move(lblG2->x(), twips(Y + kValueOffset));

    lblResultado->clear();
    lblResultado->setText(qs(core::QualidadeDosDados(v, g)));
    // The requirement level bounds the states and decides; a file without a database
    // (start-up failed) decides at the default.
    core::Fixed4 level = core::kNivelDeExigenciaPadrao;
    if (program_.dbBanco) level = readDecisionSettings(this, program_).requirementLevel();
    regions_->setLevel(level);
    // In Portuguese, as every other text of this window.
    lblEstado->setText(qs(core::LinhaDoEstado(
        core::EstadoDoResultado(program_.gG1, program_.gG2, level), core::Language::Portuguese)));
    const core::Decisao decisao = core::DecisaoDoResultado(program_.gG1, program_.gG2, level);
    lblDecisao->setText(qs(core::LinhaDaDecisao(decisao, core::Language::Portuguese)));
    const char* colour = decisao.veredito == core::Veredito::Viavel     ? "#2e7d32"
                         : decisao.veredito == core::Veredito::Inviavel ? "#c00000"
                                                                        : "#1f3a5f";
    lblDecisao->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    drawing_ = AnalysisDrawing({g, v}, program_.gPares, std::nullopt, level, locale);
    showFactors(level);
    // The draws need the data file and factors to draw from.
    cmdSensibilidade->setEnabled(program_.dbBanco && !program_.gPares.empty());
}

QLabel* frmResultado::marker(const QString& name, const QString& text,
                             core::PontoNormalizado point, const char* style) {
    const core::PontoReticulado at =
        core::PontoNoReticulado(static_cast<float>(point.G2n), point.G1n);
    QLabel* m = namedLabel(this, name, text);
    m->setAlignment(Qt::AlignCenter);
    m->setFont(arialNarrowFont(7, true));
    m->setStyleSheet(QString::fromUtf8(style));
    m->setGeometry(twips(qRound(at.X) - kFactorMarkerSize / 2),
                   twips(qRound(at.Y) - kFactorMarkerSize / 2), twips(kFactorMarkerSize),
                   twips(kFactorMarkerSize));
    m->show();
    lblPonto->raise();  // the network's result stays on top
    return m;
}

void frmResultado::showFactors(core::Fixed4 level) {
    const std::vector<std::optional<core::EvidencePair>>& pairs = program_.gPares;
    std::vector<int> weights(pairs.size(), core::kPesoPadrao);
    std::vector<QString> titles(pairs.size());
    if (program_.gParesSaoFatores && program_.dbBanco) {
        const decision::DecisionSettings settings = readDecisionSettings(this, program_);
        for (std::size_t i = 0; i < weights.size() && i < settings.weights.size(); ++i)
            weights[i] = settings.weights[i];
        const auto factors = decision::ReadFactors(program_.db(), static_cast<int>(pairs.size()));
        for (std::size_t i = 0; i < factors.size() && i < titles.size(); ++i)
            titles[i] = qs(factors[i].titleText());
    }
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (const auto at = PointOfPair(pairs[i]))
            marker(QStringLiteral("lblFator%1").arg(i + 1), QString::number(i + 1), *at,
                   "background-color: #1f3a5f; color: white; border-radius: 6px;");
    lblLegendaFatores->setText(LatticeLegend(titles, pairs, program_.gParesSaoFatores));

    const std::optional<core::AnaliseDoBaricentro> b =
        core::AnalisarBaricentro(pairs, weights, level);
    if (!b) {
        lblBaricentro->setText(pairs.empty() ? QString()
                                             : QString::fromUtf8("Baricentro: nenhum fator tem "
                                                                 "respostas."));
        return;
    }
    drawing_.barycentre = PointOfDegrees(b->graus);
    marker("lblPontoBaricentro", "B", PointOfDegrees(b->graus),
           "background-color: #e69b00; color: black; border-radius: 1px;");
    const core::NumberLocale locale = program_.locale;
    lblBaricentro->setText(
        QString::fromUtf8("Baricentro dos fatores: Gc %1, Gct %2; %3; %4")
            .arg(qs(core::FormatNumber(b->graus.G1.ToDouble(), "0.0000", locale)),
                 qs(core::FormatNumber(b->graus.G2.ToDouble(), "0.0000", locale)),
                 qs(core::LinhaDoEstado(b->estado, core::Language::Portuguese)),
                 qs(core::LinhaDaDecisao(b->decisao, core::Language::Portuguese))));
}

void frmResultado::cmdSensibilidade_Click() {
    guarded(this, [&] {
        frmSensibilidade window(program_, this);
        window.Form_Load();
        window.exec();
        // What the draws found stays drawn here, faintly.
        regions_->setFaintRegions(window.faintRegions());
    });
}

void frmResultado::cmdSair_Click() {
    guarded(this, [&] { close(); });
}

}  // namespace vpl
