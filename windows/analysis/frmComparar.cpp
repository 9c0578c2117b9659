#include "analysis/frmComparar.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/picture_boxes.h"
#include "engine/paraconsistent.h"
#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/program.h"
#include "shell/twips.h"

namespace vpl {

namespace {

// The lattice where the result window has it.
constexpr int kLatticeWidth = kLatticeRight - kLatticeLeft;
constexpr int kLatticeHeight = kLatticeBottom - kLatticeTop;
constexpr int kMarkerSize = 220;

const QStringList kHeadings{"Nº",      "Arquivo", "Decidir sobre", "Fatores",       "muR",
                            "lambdaR", "Gc",      "Gct",           "Estado lógico", "Decisão"};

QString text(std::string_view words) {
    return QString::fromUtf8(words.data(), static_cast<int>(words.size()));
}

QString fixed(double value, core::NumberLocale locale) {
    return QString::fromStdString(core::FormatNumber(value, "0.0000", locale));
}

}  // namespace

frmComparar::frmComparar(Program& program, QWidget* parent) : QDialog(parent), program_(program) {
    setObjectName("frmComparar");
    setWindowTitle(QString::fromUtf8("Comparar decisões"));
    setFont(arialFont(9));

    lattice_ = new QWidget(this);
    lattice_->setObjectName("Lattice");
    lattice_->setFixedSize(twips(kLatticeLeft + kLatticeWidth + 200),
                           twips(kLatticeTop + kLatticeHeight + 100));
    auto* picture = new LocaleSvgPictureBox(":/pictures/lattice.svg", program.locale, lattice_);
    picture->setObjectName("Image1");
    picture->setGeometry(twips(kLatticeLeft), twips(kLatticeTop), twips(kLatticeWidth),
                         twips(kLatticeHeight));
    auto* regions = new LatticeRegions(lattice_);
    regions->setGeometry(QRect(QPoint(twips(core::kLatticeSquareLeft), twips(core::kLatticeSquareTop)),
                               QPoint(twips(core::kLatticeSquareRight) - 1,
                                      twips(core::kLatticeSquareBottom) - 1)));

    grdComparacao = new QTableWidget(0, kHeadings.size(), this);
    grdComparacao->setObjectName("grdComparacao");
    grdComparacao->setHorizontalHeaderLabels(kHeadings);
    grdComparacao->verticalHeader()->hide();
    grdComparacao->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdComparacao->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdComparacao->horizontalHeader()->setStretchLastSection(true);
    grdComparacao->setMinimumWidth(620);

    lblFalhas = namedLabel(this, "lblFalhas", QString());
    lblFalhas->setWordWrap(true);
    lblFalhas->setStyleSheet("color: #c00000;");
    lblFalhas->hide();

    auto* cmdSair = new QPushButton("&Return", this);
    cmdSair->setObjectName("cmdSair");
    connect(cmdSair, &QPushButton::clicked, this, &QDialog::accept);

    auto* right = new QVBoxLayout;
    right->addWidget(grdComparacao, 1);
    right->addWidget(lblFalhas);
    right->addWidget(cmdSair, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lattice_, 0, Qt::AlignTop);
    layout->addLayout(right, 1);
}

void frmComparar::Form_Load() {
    std::vector<std::string> files;
    for (const QString& file : program_.filesToCompare) files.push_back(file.toStdString());
    compared_ = CompareDecisions(files, program_.locale, program_.keptKeys());

    QStringList failures;
    int rank = 0;
    for (const ComparedDecision& c : compared_) {
        const QString file = QDir::toNativeSeparators(QString::fromStdString(c.file));
        if (!c.outcome) {
            failures << file + ": " + QString::fromStdString(c.failure);
            continue;
        }
        const DecisionOutcome& o = *c.outcome;
        const int row = rank++;
        grdComparacao->insertRow(row);
        const QStringList cells{
            QString::number(rank),
            QFileInfo(file).fileName(),
            QString::fromStdString(o.question),
            QString::number(o.factors),
            fixed(o.muR, program_.locale),
            fixed(o.lambdaR, program_.locale),
            fixed(o.certainty.ToDouble(), program_.locale),
            fixed(o.contradiction.ToDouble(), program_.locale),
            text(core::NomeDoEstado(o.state, core::Language::Portuguese)),
            text(core::NomeDoVeredito(o.decision.veredito, core::Language::Portuguese)),
        };
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column == 1) item->setToolTip(file);
            grdComparacao->setItem(row, column, item);
        }

        // The file's point, with its number in the table.
        const double g1n = (o.certainty.ToDouble() + 1) / 2;
        const auto g2n = static_cast<float>((o.contradiction.ToDouble() + 1) / 2);
        const core::PontoReticulado at = core::PontoNoReticulado(g2n, g1n);
        auto* marker =
            namedLabel(lattice_, QStringLiteral("lblPonto%1").arg(rank), QString::number(rank));
        marker->setAlignment(Qt::AlignCenter);
        marker->setFont(arialNarrowFont(8, true));
        marker->setStyleSheet(
            "background-color: #c00000; color: white; border-radius: 3px;");
        marker->setGeometry(twips(int(at.X) - kMarkerSize / 2), twips(int(at.Y) - kMarkerSize / 2),
                            twips(kMarkerSize), twips(kMarkerSize));
        marker->setToolTip(QFileInfo(file).fileName());
        marker->show();
    }
    grdComparacao->resizeColumnsToContents();
    if (!failures.isEmpty()) {
        lblFalhas->setText(QString::fromUtf8("Não puderam ser analisados:\n") +
                           failures.join('\n'));
        lblFalhas->show();
    }
}

}  // namespace vpl
