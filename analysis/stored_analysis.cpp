#include "analysis/stored_analysis.h"

#include <QDate>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/printing_surface.h"
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

std::vector<std::optional<double>> StoredAnswerCounts(store::Database& db, int factors,
                                                      core::NumberLocale locale) {
    const int counted = std::clamp(factors, 0, store::kFactorSlots);
    std::vector<std::optional<double>> answers(std::max(factors, 0));
    std::vector<std::string> fields;
    for (int j = 1; j <= store::kLikertPoints; ++j) fields.push_back(store::likertField(j));
    // Only a hint beside the result, which does not rest on these rows: what cannot be read
    // leaves a count unknown instead of stopping the analysis.
    std::vector<store::Row> rows;
    try {
        rows = db.firstRowsUpTo("Fatores", {"Prop"}, counted);
    } catch (const store::StoreError&) {
        return answers;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::optional<double> p = storedNumber(rows[i].value("Prop"), locale);
        if (!p || *p < 0 || *p != std::floor(*p) || *p > std::numeric_limits<int>::max()) continue;
        try {
            double total = 0;
            for (const store::Row& row :
                 db.firstRowsUpTo(store::propositionTable(static_cast<int>(i) + 1), fields,
                                  static_cast<int>(*p)))
                for (const std::string& field : fields)
                    total += row.value(field).number().value_or(0);
            answers[i] = total;
        } catch (const store::StoreError&) {
        }
    }
    return answers;
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
                                std::int16_t language) {
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
        qs(core::LinhaDoEstado(core::EstadoDoResultado(r.gG1, r.gG2), idiomaDoPrograma(language)));
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
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QPdfWriter pdf(&file);
        pdf.setTitle(QStringLiteral("Velmar Paraconsistent Logic"));
        pdf.setCreator(QStringLiteral("Velmar Paraconsistent Logic"));
        pdf.setResolution(1200);
        pdf.setPageLayout(reportPageLayout());
        written = PrintReportOn(pdf, data, network);
    }
    if (written && file.commit()) return std::nullopt;
    return file.errorString();
}

}  // namespace vpl
