#include "analysis/stored_analysis.h"

#include <QBuffer>
#include <QDate>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/printing_surface.h"
#include "likert/likert_evidence.h"
#include "shell/controls.h"
#include "shell/pictures.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "store/database.h"
#include "store/schema.h"

namespace vpl {

namespace {

constexpr int kBlockRows = 19;  // of the 20 keys of a block, the last is never read

// A count of PLikert as the block sums read it: a whole number of answers. Anything else
// (NULL, a text, a fraction, a negative or huge number) stops the analysis with a message.
std::int32_t blockCount(const store::Row& row, const std::string& field) {
    const store::Value& value = row.value(field);
    const std::optional<double> n = value.number();
    if (!n || *n < 0 || *n > std::numeric_limits<std::int32_t>::max() || *n != std::floor(*n))
        throw InvalidDataError("Contagem inválida em PLikert, chave " + std::to_string(row.key()) +
                               ", campo " + field + ": " + value.toText().value_or("Null"));
    return static_cast<std::int32_t>(*n);
}

// Portrait on the paper of the user's country, with the margins a printer keeps clear.
QPageLayout reportPageLayout() {
    const QPageSize paper(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                              ? QPageSize::Letter
                              : QPageSize::A4);
    return QPageLayout(paper, QPageLayout::Portrait, QMarginsF(6.35, 6.35, 6.35, 6.35),
                       QPageLayout::Millimeter);
}

}  // namespace

core::Idioma idiomaDoPrograma(std::int16_t gIdioma) {
    if (gIdioma == Language::English) return core::Idioma::Ingles;
    if (gIdioma == Language::Spanish) return core::Idioma::Espanhol;
    return core::Idioma::Portugues;
}

std::int16_t StoredFactorCount(store::Database& db, core::NumberLocale locale) {
    const store::Value fatores = db.firstRow("Parametro", {"Fatores"}).value("Fatores");
    const double whole = std::nearbyint(storedNumber(fatores, locale).value_or(4));
    return static_cast<std::int16_t>(std::clamp(whole, -32768.0, 32767.0));
}

std::vector<std::optional<core::EvidencePair>> StoredFactorPairs(store::Database& db, int factors) {
    std::vector<std::optional<core::EvidencePair>> pairs;
    for (const store::Row& row : db.firstRowsUpTo("Fatores", {"Mi1", "Mi2"}, factors)) {
        const std::optional<double> mi1 = row.value("Mi1").number();
        const std::optional<double> mi2 = row.value("Mi2").number();
        if (mi1 && mi2)
            pairs.push_back(core::EvidencePair{*mi1, *mi2});
        else
            pairs.push_back(std::nullopt);
    }
    pairs.resize(std::max(factors, 0));
    return pairs;
}

namespace {

// The counts of each stored proposition of factors 1 to `factors`, as far as they can be
// read: nothing for a factor without a row in Fatores, whose Prop is no whole number, or
// whose proposition table or counts cannot be read. These are only hints beside a result
// that does not rest on them, so nothing here stops an analysis.
std::vector<std::optional<std::vector<core::LikertRow>>> StoredCountRows(
    store::Database& db, int factors, core::NumberLocale locale) {
    const int counted = std::clamp(factors, 0, store::kFactorSlots);
    std::vector<std::optional<std::vector<core::LikertRow>>> counts(std::max(factors, 0));
    std::vector<std::string> fields;
    for (int j = 1; j <= store::kLikertPoints; ++j) fields.push_back(store::likertField(j));
    std::vector<store::Row> rows;
    try {
        rows = db.firstRowsUpTo("Fatores", {"Prop"}, counted);
    } catch (const store::StoreError&) {
        return counts;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::optional<double> p = storedNumber(rows[i].value("Prop"), locale);
        if (!p || *p < 0 || *p != std::floor(*p) || *p > store::kPropositionRows) continue;
        try {
            std::vector<core::LikertRow> factor;
            for (const store::Row& row :
                 db.firstRowsUpTo(store::propositionTable(static_cast<int>(i) + 1), fields,
                                  static_cast<int>(*p))) {
                core::LikertRow& c = factor.emplace_back();
                for (int j = 0; j < store::kLikertPoints; ++j)
                    c[j] = row.value(fields[j]).number().value_or(0);
            }
            counts[i] = std::move(factor);
        } catch (const store::StoreError&) {
        }
    }
    return counts;
}

}  // namespace

std::vector<std::optional<double>> StoredAnswerCounts(store::Database& db, int factors,
                                                      core::NumberLocale locale) {
    std::vector<std::optional<double>> answers;
    for (const auto& rows : StoredCountRows(db, factors, locale)) {
        std::optional<double>& total = answers.emplace_back();
        if (!rows) continue;
        total = 0.0;
        for (const core::LikertRow& row : *rows)
            for (const double count : row) *total += count;
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
        const core::StoredDegrees follow =
            core::DegreesToStore(core::ComputeLikertEvidence(*counts[i]));
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

std::array<std::vector<core::CountRow>, 4> ReferenceTableBlocks(store::Database& db) {
    std::vector<std::string> fields;
    for (int j = 1; j <= store::kLikertPoints; ++j) fields.push_back(store::likertField(j));
    std::array<std::vector<core::CountRow>, 4> blocks;
    for (int block = 1; block <= 4; ++block) {
        for (const store::Row& row : db.rowsFrom("PLikert", fields, 20 * block - 19, kBlockRows)) {
            core::CountRow& c = blocks[block - 1].emplace_back();
            for (int j = 0; j < store::kLikertPoints; ++j) c[j] = blockCount(row, fields[j]);
        }
    }
    return blocks;
}

ReportData FourFactorReportData(store::Database& db, std::int16_t factorCount,
                                const core::Rede4fResult& r, core::NumberLocale locale,
                                std::int16_t /*language: the report reads alike in every one*/) {
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
    data.state =
        qs(core::LinhaDoEstado(core::EstadoDoResultado(r.gG1, r.gG2), core::Idioma::Portugues));
    data.date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    data.locale = locale;
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
