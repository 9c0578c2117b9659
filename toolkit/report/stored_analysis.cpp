#include "report/stored_analysis.h"

#include <QBuffer>
#include <QDate>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <limits>

#include "report/lattice_picture.h"
#include "report/printing_surface.h"
#include "core/likert_evidence.h"
#include "engine/barycentre.h"
#include "engine/decision_rule.h"
#include "shell/controls.h"
#include "shell/pictures.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "store/database.h"
#include "store/schema.h"

namespace vpl {

namespace {

// Portrait on the paper of the user's country, with the margins a printer keeps clear.
QPageLayout reportPageLayout() {
    const QPageSize paper(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                              ? QPageSize::Letter
                              : QPageSize::A4);
    return QPageLayout(paper, QPageLayout::Portrait, QMarginsF(6.35, 6.35, 6.35, 6.35),
                       QPageLayout::Millimeter);
}

}  // namespace

std::vector<std::optional<core::EvidencePair>> StoredFactorPairs(store::Database& db, int factors) {
    std::vector<std::optional<core::EvidencePair>> pairs;
    for (const decision::Factor& factor :
         decision::ReadFactors(db, factors, decision::FactorFields::Degrees)) {
        const auto degrees = factor.degrees();
        pairs.push_back(degrees ? std::optional(core::EvidencePair{degrees->first, degrees->second})
                                : std::nullopt);
    }
    pairs.resize(std::max(factors, 0));
    return pairs;
}

std::vector<std::optional<std::vector<core::Counts>>> StoredCountRows(
    store::Database& db, int factors, core::NumberLocale locale) {
    std::vector<std::optional<std::vector<core::Counts>>> counts(std::max(factors, 0));
    std::vector<decision::Factor> stored;
    try {
        stored = decision::ReadFactors(db, std::clamp(factors, 0, store::kFactorSlots));
    } catch (const store::StoreError&) {
        return counts;
    }
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const decision::PropositionCount p = stored[i].propositionCount(locale);
        if (p.state != decision::PropositionCount::State::Valid) continue;
        try {
            std::vector<core::Counts>& factor = counts[i].emplace();
            for (const decision::Proposition& row :
                 decision::ReadPropositions(db, stored[i].number, p.count))
                factor.push_back(row.counts());
        } catch (const store::StoreError&) {
            counts[i].reset();
        }
    }
    return counts;
}

std::vector<std::optional<double>> StoredAnswerCounts(store::Database& db, int factors,
                                                      core::NumberLocale locale) {
    std::vector<std::optional<double>> answers;
    for (const auto& rows : StoredCountRows(db, factors, locale)) {
        std::optional<double>& total = answers.emplace_back();
        if (!rows) continue;
        total = 0.0;
        for (const core::Counts& row : *rows)
            for (const std::int32_t count : row) *total += count;
    }
    return answers;
}

std::vector<int> StoredFactorsWithStaleDegrees(
    store::Database& db, const std::vector<std::optional<core::EvidencePair>>& pairs,
    core::NumberLocale locale) {
    std::vector<int> stale;
    const auto counts = StoredCountRows(db, static_cast<int>(pairs.size()), locale);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (!pairs[i] || !counts[i]) continue;
        const core::StoredDegrees follow = core::DegreesOf(*counts[i]);
        if (follow != core::StoredDegrees{pairs[i]->Mi1, pairs[i]->Mi2})
            stale.push_back(static_cast<int>(i) + 1);
    }
    return stale;
}

std::vector<int> StoredFactorsWithoutAnswers(
    store::Database& db, const std::vector<std::optional<core::EvidencePair>>& pairs,
    core::NumberLocale locale) {
    const auto answers = StoredAnswerCounts(db, static_cast<int>(pairs.size()), locale);
    return core::FatoresSemRespostas(pairs, answers);
}

core::EntradaDaSensibilidade StoredSensitivityInput(store::Database& db, int factors,
                                                    bool ownFactors,
                                                    const decision::DecisionSettings& settings,
                                                    core::NumberLocale locale) {
    core::EntradaDaSensibilidade input;
    input.nivel = settings.requirementLevel();
    if (!ownFactors) {
        input.fonte = core::FonteDaAnalise::TabelaDeReferencia;
        for (auto& block : decision::ReadReferenceBlocks(db)) input.contagens.push_back(block);
        input.pesos.assign(input.contagens.size(), core::kPesoPadrao);
        return input;
    }
    input.fonte = core::FonteDaAnalise::FatoresProprios;
    for (const auto& rows : StoredCountRows(db, factors, locale))
        input.contagens.push_back(rows.value_or(std::vector<core::Counts>{}));
    input.pares = StoredFactorPairs(db, factors);
    input.semRespostas = StoredFactorsWithoutAnswers(db, input.pares, locale);
    for (int i = 0; i < factors; ++i)
        input.pesos.push_back(i < static_cast<int>(settings.weights.size()) ? settings.weights[i]
                                                                           : core::kPesoPadrao);
    return input;
}

namespace {

// The lines under the network, the lattice and the date, alike for every factor count: the
// state and the decision at the stored requirement level, which bounds the states too, and
// the barycentre of the pairs with answers by their weights (the reference blocks weigh 1).
void AddOutcome(ReportData& data, store::Database& db,
                const std::vector<std::optional<core::EvidencePair>>& answered, bool areFactors,
                core::Fixed4 gc, core::Fixed4 gct, core::PontoNormalizado point,
                core::NumberLocale locale) {
    const decision::DecisionSettings settings = decision::ReadDecisionSettings(db, locale);
    const core::Fixed4 level = settings.requirementLevel();
    data.state = qs(core::LinhaDoEstado(core::EstadoDoResultado(gc, gct, level),
                                        core::Language::Portuguese));
    data.decision = qs(core::LinhaDaDecisao(core::DecisaoDoResultado(gc, gct, level),
                                            core::Language::Portuguese));
    std::vector<int> weights(answered.size(), core::kPesoPadrao);
    for (std::size_t i = 0; areFactors && i < weights.size() && i < settings.weights.size(); ++i)
        weights[i] = settings.weights[i];
    const auto b = core::AnalisarBaricentro(answered, weights, level);
    data.lattice = std::make_shared<LatticePicture>(AnalysisDrawing(
        point, answered, b ? std::optional(PointOfDegrees(b->graus)) : std::nullopt, level,
        locale));
    std::vector<QString> titles;
    for (const ReportFactor& factor : data.factors) titles.push_back(factor.title);
    data.latticeLegend = LatticeLegend(titles, answered, areFactors);
    if (b)
        data.barycentre =
            QString::fromUtf8("Baricentro dos fatores: Gc %1, Gct %2; %3")
                .arg(qs(core::FormatNumber(b->graus.G1.ToDouble(), "0.0000", locale)),
                     qs(core::FormatNumber(b->graus.G2.ToDouble(), "0.0000", locale)),
                     qs(core::LinhaDaDecisao(b->decisao, core::Language::Portuguese)));
    data.date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    data.locale = locale;
}

}  // namespace

ReportData FourFactorReportData(store::Database& db, std::int16_t factorCount,
                                const core::Rede4fResult& r, core::NumberLocale locale,
                                core::Language /*language: the report reads alike in every one*/) {
    ReportData data;
    data.factors = ReadReportFactors(db, factorCount, locale);
    for (int i = 0; i < 4; ++i) {
        data.contrary[i] = qs(r.lblG2[i]);
        data.favourable[i] = qs(r.lblG1[i]);
        data.max[i] = qs(r.lblMax[i]);
    }
    data.min1 = qs(r.lblMin1);
    data.min2 = qs(r.lblMin2);
    data.g2n = qs(core::FormatNumber(r.gG2n, "0.0000", locale));
    data.g1n = qs(core::FormatNumber(r.gG1n, "0.0000", locale));
    const auto pairs = StoredFactorPairs(db, 4);
    const auto answered =
        core::ParesComRespostas(pairs, StoredFactorsWithoutAnswers(db, pairs, locale));
    AddOutcome(data, db, answered, true, r.gG1, r.gG2, {r.gG1n, r.gG2n}, locale);
    return data;
}

std::vector<ReportFactor> ReferenceTableReportBlocks(store::Database& db) {
    std::vector<ReportFactor> blocks;
    for (const std::vector<core::Counts>& counts : decision::ReadReferenceBlocks(db)) {
        ReportFactor& block = blocks.emplace_back();
        block.title = QString::fromUtf8("Bloco %1 da tabela de referência").arg(blocks.size());
        for (const core::Counts& row : counts) {
            decision::Proposition& p = block.propositions.emplace_back();
            p.text = store::Value(
                QString::fromUtf8("Pressuposto %1").arg(block.propositions.size()).toStdString());
            for (int k = 0; k < store::kLikertPoints; ++k) p.stored[k] = row[k];
        }
    }
    return blocks;
}

ReportData FamilyReportData(store::Database& db, int factors, bool ownFactors,
                            const std::vector<std::optional<core::EvidencePair>>& answered,
                            const core::Graus& graus, ReportNetwork network,
                            core::NumberLocale locale) {
    ReportData data;
    data.factors = ownFactors ? ReadReportFactors(db, factors, locale)
                              : ReferenceTableReportBlocks(db);
    data.network = std::move(network);
    AddOutcome(data, db, answered, ownFactors, graus.G1, graus.G2,
               {graus.G1n, graus.G2nSingle}, locale);
    return data;
}

bool PrintReportOn(QPagedPaintDevice& device, const ReportData& data, const Picture& network) {
    PainterSurface surface(device);
    if (!surface.isActive()) return false;
    const SvgPicture decoration(":/pictures/menu_image1.svg");
    const SvgPicture logo(":/pictures/menu_image2.svg");
    PrintReport(surface, data, {decoration, network, logo});
    return true;
}

std::optional<QString> WriteReportPdf(const QString& path, const ReportData& data,
                                      const Picture& network) {
    // The document is made in memory, then written with one unbuffered write whose every
    // byte is checked: the PDF writer itself does not report a device that runs out of room,
    // and a full disk must never leave a truncated PDF in place of a good one.
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&document);
        pdf.setTitle(QStringLiteral("Velmar Paraconsistent Logic"));
        pdf.setCreator(QStringLiteral("Velmar Paraconsistent Logic"));
        pdf.setResolution(1200);
        pdf.setPageLayout(reportPageLayout());
        if (!PrintReportOn(pdf, data, network))
            return QStringLiteral("the PDF document could not be started");
    }
    const QByteArray& bytes = document.data();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        // A short write comes without a reason of its own.
        const QString reason =
            file.error() != QFileDevice::NoError && written < 0
                ? file.errorString()
                : QStringLiteral("only %1 of %2 bytes could be written; the disk may be full")
                      .arg(std::max<qint64>(written, 0))
                      .arg(bytes.size());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();  // the old file stays, the temporary goes
    return std::nullopt;
}

}  // namespace vpl
