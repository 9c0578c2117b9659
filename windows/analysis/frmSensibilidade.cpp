#include "analysis/frmSensibilidade.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <functional>

#include "engine/decision_rule.h"
#include "report/stored_analysis.h"
#include "shell/controls.h"
#include "shell/decision_settings.h"
#include "shell/fonts.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"

namespace vpl {

namespace {

constexpr int kLatticeWidth = kLatticeRight - kLatticeLeft;
constexpr int kLatticeHeight = kLatticeBottom - kLatticeTop;

constexpr auto kPortuguese = core::Language::Portuguese;

// The lattice with what is known so far; repainted as the draws end.
class LatticeView : public QWidget {
  public:
    LatticeView(const LatticeDrawing& drawing, QWidget* parent)
        : QWidget(parent), drawing_(drawing) {}
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        LatticePicture(drawing_).paint(painter, QRectF(rect()));
    }

  private:
    const LatticeDrawing& drawing_;
};

QString text(std::string_view words) {
    return QString::fromUtf8(words.data(), static_cast<int>(words.size()));
}

// "Viável", or with its caveat, "Não conclusivo (dados contraditórios demais ...)".
QString decisionText(const core::Decisao& d) {
    QString words = text(core::NomeDoVeredito(d.veredito, kPortuguese));
    if (d.ressalva != core::Ressalva::Nenhuma)
        words += " (" + text(core::TextoDaRessalva(d.ressalva, kPortuguese)) + ")";
    return words;
}

QString numbersOf(const std::vector<int>& factors) {
    QStringList numbers;
    for (const int f : factors) numbers << QString::number(f);
    return numbers.join(", ");
}

}  // namespace

frmSensibilidade::frmSensibilidade(Program& program, QWidget* parent)
    : QDialog(parent), program_(program) {
    setObjectName("frmSensibilidade");
    setWindowTitle("Sensibilidade");
    setFont(arialFont(9));
    drawing_.locale = program.locale;

    lattice_ = new LatticeView(drawing_, this);
    lattice_->setObjectName("picSensibilidade");
    lattice_->setFixedSize(twips(kLatticeWidth), twips(kLatticeHeight));

    lblRede = namedLabel(this, "lblRede", QString());
    lblBaricentro = namedLabel(this, "lblBaricentro", QString());
    for (QLabel* l : {lblRede, lblBaricentro}) l->setFont(arialFont(10, true));
    lblSorteios = namedLabel(this, "lblSorteios", QString());
    lblFatoresDecisivos = namedLabel(this, "lblFatoresDecisivos", QString());
    for (QLabel* l : {lblSorteios, lblFatoresDecisivos}) l->setWordWrap(true);
    prgSorteios = new QProgressBar(this);
    prgSorteios->setObjectName("prgSorteios");
    prgSorteios->setRange(0, 1);
    prgSorteios->setValue(0);

    grdSensibilidade = new QTableWidget(0, 3, this);
    grdSensibilidade->setObjectName("grdSensibilidade");
    grdSensibilidade->setHorizontalHeaderLabels({"", "Rede", "Baricentro"});
    grdSensibilidade->verticalHeader()->hide();
    grdSensibilidade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdSensibilidade->horizontalHeader()->setStretchLastSection(true);
    grdSensibilidade->setMinimumWidth(twips(6000));

    QPushButton* cmdSair = namedButton(this, "cmdSair", "&Return");
    connect(cmdSair, &QPushButton::clicked, this, &frmSensibilidade::cmdSair_Click);

    auto* right = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{lblRede, lblBaricentro, lblSorteios,
                                                      prgSorteios})
        right->addWidget(w);
    right->addWidget(grdSensibilidade, 1);
    right->addWidget(lblFatoresDecisivos);
    right->addWidget(cmdSair, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lattice_, 0, Qt::AlignTop);
    layout->addLayout(right, 1);
}

frmSensibilidade::~frmSensibilidade() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void frmSensibilidade::Form_Load() {
    const int factors = static_cast<int>(program_.gPares.size());
    const decision::DecisionSettings settings = readDecisionSettings(this, program_);
    input_ = StoredSensitivityInput(program_.db(), factors, program_.gParesSaoFatores, settings,
                                    program_.locale);
    drawing_.level = input_.nivel;
    for (const auto& pair : program_.gPares) drawing_.factors.push_back(PointOfPair(pair));

    // Without the draws first: what leaving a factor out and moving the level do is known
    // at once.
    const std::atomic<bool> stopped{true};
    core::OpcoesDaSensibilidade now;
    now.cancelar = &stopped;
    const core::Sensibilidade quick = core::AnalisarSensibilidade(input_, now);
    showOutcome(quick, false);
    if (!quick.semReamostragem.empty()) {
        prgSorteios->hide();
        return;
    }

    const core::OpcoesDaSensibilidade defaults;
    prgSorteios->setRange(0, defaults.sorteios);
    lblSorteios->setText(QStringLiteral("Sorteando de novo os respondentes de cada pressuposto: "
                                        "%1 sorteios...")
                             .arg(defaults.sorteios));
    worker_ = std::thread([this] {
        core::OpcoesDaSensibilidade options;
        options.cancelar = &cancel_;
        options.progresso = [this](int done, int) {
            QMetaObject::invokeMethod(
                this, [this, done] { prgSorteios->setValue(done); }, Qt::QueuedConnection);
        };
        std::shared_ptr<const core::Sensibilidade> s;
        QString failure;
        try {
            s = std::make_shared<const core::Sensibilidade>(
                core::AnalisarSensibilidade(input_, options));
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
        QMetaObject::invokeMethod(
            this, [this, s, failure] { drawsEnded(s, failure); }, Qt::QueuedConnection);
    });
}

void frmSensibilidade::drawsEnded(std::shared_ptr<const core::Sensibilidade> s,
                                  QString failure) {
    finished_ = true;
    prgSorteios->hide();
    if (!s || s->interrompida) {
        lblSorteios->setText(QString::fromUtf8("Os sorteios não terminaram") +
                             (failure.isEmpty() ? QString(".") : ": " + failure));
    } else {
        showOutcome(*s, true);
    }
    emit drawsFinished();
}

void frmSensibilidade::showOutcome(const core::Sensibilidade& s, bool drawsDone) {
    outcome_ = s;
    const core::NumberLocale locale = program_.locale;
    const auto fixed = [&](core::Fixed4 v, const char* pattern) {
        return qs(core::FormatNumber(v.ToDouble(), pattern, locale));
    };
    const auto percent = [&](double share) {
        return qs(core::FormatNumber(100 * share, "0.0", locale)) + " %";
    };

    lblRede->setText("Rede: " + decisionText(s.rede.decisao));
    lblBaricentro->setText(
        s.baricentro ? "Baricentro: " + decisionText(s.baricentro->decisao)
                     : QString::fromUtf8("Baricentro: nenhum fator tem respostas."));
    if (!s.semReamostragem.empty())
        lblSorteios->setText(
            QString::fromUtf8("Os respondentes não podem ser sorteados de novo: os graus "
                              "guardados de %1 %2 não são os que as suas respostas dão.")
                .arg(input_.fonte == core::FonteDaAnalise::TabelaDeReferencia ? "bloco"
                                                                                : "fator")
                .arg(numbersOf(s.semReamostragem)));
    else if (drawsDone)
        lblSorteios->setText(QStringLiteral("%1 sorteios dos respondentes de cada pressuposto.")
                                 .arg(s.rede.partilha.sorteios));

    // One row per line of the table, a column for the network and one for the barycentre.
    std::vector<std::pair<QString, std::function<QString(const core::SensibilidadeDoResultado&)>>>
        rows{
            {QString::fromUtf8("Decisão"),
             [](const auto& r) { return text(core::NomeDoVeredito(r.decisao.veredito, kPortuguese)); }},
            {"Gc", [&](const auto& r) { return fixed(r.graus.G1, "0.0000"); }},
            {"Gct", [&](const auto& r) { return fixed(r.graus.G2, "0.0000"); }},
        };
    for (const core::Veredito v :
         {core::Veredito::Viavel, core::Veredito::NaoConclusivo, core::Veredito::Inviavel})
        rows.push_back({text(core::NomeDoVeredito(v, kPortuguese)) + QString::fromUtf8(" nos sorteios"),
                        [&, v](const auto& r) {
                            return drawsDone ? percent(r.partilha.Parcela(v))
                                             : QString::fromUtf8("—");
                        }});
    const bool blocks = input_.fonte == core::FonteDaAnalise::TabelaDeReferencia;
    for (std::size_t f = 0; f < s.rede.semOFator.size(); ++f)
        rows.push_back({QString::fromUtf8(blocks ? "Sem o bloco %1" : "Sem o fator %1").arg(f + 1),
                        [f](const auto& r) {
                            return r.semOFator[f] ? text(core::NomeDoVeredito(
                                                        r.semOFator[f]->veredito, kPortuguese))
                                                  : QString::fromUtf8("—");
                        }});
    rows.push_back({QString::fromUtf8("Níveis que a mantêm"), [&](const auto& r) {
                        return fixed(r.faixa.de, "0.00") + " a " + fixed(r.faixa.ate, "0.00");
                    }});
    grdSensibilidade->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        grdSensibilidade->setItem(row, 0, new QTableWidgetItem(rows[row].first));
        grdSensibilidade->setItem(row, 1, new QTableWidgetItem(rows[row].second(s.rede)));
        grdSensibilidade->setItem(
            row, 2,
            new QTableWidgetItem(s.baricentro ? rows[row].second(*s.baricentro)
                                              : QString::fromUtf8("—")));
    }
    grdSensibilidade->resizeColumnsToContents();

    const std::vector<int> decisive = core::FatoresDecisivos(s.rede);
    lblFatoresDecisivos->setText(
        decisive.empty() ? QString::fromUtf8("Nenhum fator sozinho muda a decisão da rede.")
                         : QString::fromUtf8("Sem um destes, a decisão da rede muda: ") +
                               numbersOf(decisive) + ".");

    drawing_.result = PointOfDegrees(s.rede.graus);
    drawing_.barycentre.reset();
    if (s.baricentro) drawing_.barycentre = PointOfDegrees(s.baricentro->graus);
    drawing_.faint = faintRegions();
    lattice_->update();
}

std::vector<FaintRegion> frmSensibilidade::faintRegions() const {
    std::vector<FaintRegion> regions;
    if (!outcome_ || !outcome_->reamostrada) return regions;
    regions.push_back({outcome_->rede.regiao, kResultColour});
    if (outcome_->baricentro) regions.push_back({outcome_->baricentro->regiao, kBarycentreColour});
    return regions;
}

void frmSensibilidade::cmdSair_Click() {
    guarded(this, [&] { close(); });
}

}  // namespace vpl
