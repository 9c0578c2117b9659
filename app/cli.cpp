#include "app/cli.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "engine/logical_state.h"
#include "report/lattice_picture.h"
#include "report/network_table_picture.h"
#include "report/picture_files.h"
#include "engine/networks.h"
#include "engine/paraconsistent.h"
#include "report/report.h"
#include "engine/barycentre.h"
#include "engine/decision_rule.h"
#include "engine/sensitivity.h"
#include "report/comparison.h"
#include "report/stored_analysis.h"
#include "report/analysis_export.h"
#include "decision/factor_import.h"
#include "survey/survey_file.h"
#include "survey/survey_import.h"
#include "survey/workbook.h"
#include "shell/import_map.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "store/database.h"
#include "store/schema.h"

namespace vpl::cli {

namespace {

const char* const kUsageLine =
    "usage: vpl-cli analyse|sensitivity|report|picture|import|export|backup|compare [options] (vpl-cli "
    "--help lists them)";

const char* const kHelp =
    R"(vpl-cli: the stored decision of Velmar Paraconsistent Logic, without a window.

  vpl-cli analyse [--json] [--own] [--level X] [--data FILE]
      Runs the analysis that the stored factor count opens (the four-factor network on the
      factors' stored pairs for 4, the family network on the reference answer table for 2,
      3 and 5 to 8) and prints every degree, the normalised degrees, both verdicts, the
      result's sentence and its logical state. --json prints one JSON object. --own runs
      the family network on the factors' own stored pairs instead of the reference table.
      The requirement level (stored in the factors window, 0.50 by default; --level X for
      this run only, nothing written) decides: Gc at or above it is feasible, at or below
      its opposite infeasible, otherwise inconclusive, and bounds the logical state. The
      barycentre of the factors with answers, by their stored weights, is printed beside.
  vpl-cli sensitivity [--json] [--own] [--level X] [--data FILE]
      How sure the decision of that analysis is: the respondents of every proposition drawn
      again 1,000 times (fixed seed) and the share of draws giving each decision, the
      region of the nearest nine tenths of the results, the decision with each factor
      left out, and the levels over which it stays; for the network and the barycentre.
      Factors whose stored degrees their answers do not give cannot be drawn again.
  vpl-cli report --pdf OUT [--data FILE]
      Writes the printed report of the four-factor analysis to the PDF file OUT.
  vpl-cli picture --svg FILE | --png FILE [--network] [--own] [--level X] [--data FILE]
      Saves the lattice of that analysis, with its result, the factors' points and their
      barycentre, as an SVG or PNG file; with --network, the picture of the factors' own
      network with every degree at its cell instead.
  vpl-cli import --factor K FILE [--sheet NAME] [--map MAP.json] [--dry-run] [--data FILE]
  vpl-cli import --all FILE --map MAP.json [--sheet NAME] [--dry-run] [--data FILE]
      Imports a survey export, CSV or XLSX (the first sheet, or --sheet NAME): one row per
      proposition with its five counts, or one row per respondent. The exports of
      Qualtrics, Google Forms, Microsoft Forms and LimeSurvey are known by their headings.
      Prints what was understood and what not. With --factor every proposition goes into
      factor K; with --all each goes into the factor MAP.json gives it, every factor in one
      write. MAP.json (as the import window saves it) holds the column of each proposition
      (the row, of a counts file) with its factor (0: not imported) and whether its scale is reversed, the point of
      each answer code (A1 .. A5 and the like, which are otherwise mapped by their order
      when it is plain) and the factors' titles. --dry-run writes nothing.
  vpl-cli export --csv [--factor K] [--data FILE]
      Prints the stored propositions and counts as CSV. With --factor, the layout that
      import reads back; without it, every factor, its number in a first column. A text
      that a spreadsheet would run as a formula is written after an apostrophe.
  vpl-cli export --xlsx FILE [--own] [--data FILE]
      Writes the spreadsheet of the analysis that analyse prints (--own as there) to FILE:
      a sheet per factor (its propositions, counts, sums and pair), one of the network
      (every operator cell, its operands and its result) and one of the result (degrees,
      verdicts, logical state, level, decision and barycentre), headed in the stored
      language. FILE is replaced only once the whole spreadsheet is written.
  vpl-cli backup FILE [--data FILE]
      Writes a whole copy of the data file to FILE, with every saved change, also while
      the program is open. FILE opens like the data file itself.
  vpl-cli compare FILE FILE... [--json]
      Analyses each decision file, read only (the four-factor network for 4 factors, the
      family network on the factors' own pairs otherwise), and prints one tab-separated
      row per file ranked by the degree of certainty Gc: Gc, Gct, muR, lambdaR, the factor
      count, the logical state and the decision (at each file's requirement level), the
      file and its question. A file that cannot be analysed
      comes last with the reason, and the exit status is then 2. --json prints an array.
  vpl-cli --help
      This text.

  --data FILE   the data file; by default the one the program uses.

Exit status: 0 done; 1 the data does not allow what was asked; 2 a file missing, damaged,
wrongly keyed or not writable; 64 bad arguments.
)";

// Ends the command with a line on stderr and an exit status.
struct Failure : std::runtime_error {
    Failure(int status, const std::string& line) : std::runtime_error(line), status(status) {}
    int status;
};

std::string u8(const QString& text) {
    return text.toStdString();
}

// A text as the terminal may be shown it: control characters (C0, DEL, C1) and bytes that
// are no UTF-8 written as \xNN or \uNNNN, so that no text can move the cursor, retitle the
// window or hide a line.
std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto escaped = [&](const char* format, unsigned code) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, format, code);
        out += buffer;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80           ? 1
                           : (c >> 5) == 0x6  ? 2
                           : (c >> 4) == 0xE  ? 3
                           : (c >> 3) == 0x1E ? 4
                                              : 0;
        bool whole = length > 0 && i + length <= text.size() && (length != 2 || c >= 0xC2);
        for (int k = 1; whole && k < length; ++k)
            whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (!whole) {
            escaped("\\x%02x", c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            escaped("\\x%02x", c);
            ++i;
        } else if (c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            escaped("\\u%04x", static_cast<unsigned char>(text[i + 1]));  // U+0080 .. U+009F
            i += 2;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string printable(const QString& text) {
    return printable(u8(text));
}

struct Command {
    QCommandLineParser parser;
    QString data;  // --data or the default

    bool isSet(const char* option) const { return parser.isSet(QString::fromLatin1(option)); }
    QString value(const char* option) const { return parser.value(QString::fromLatin1(option)); }
};

std::unique_ptr<store::Database> openData(const QString& path, store::Database::Access access) {
    const QFileInfo file(path);
    if (!file.exists())
        throw Failure(kFileError,
                      "the data file " + u8(QDir::toNativeSeparators(path)) + " does not exist");
    if (!file.isFile())
        throw Failure(kFileError, "the data file " + u8(QDir::toNativeSeparators(path)) +
                                      " is not a regular file (a folder, a device or a FIFO)");
    try {
        return store::Database::open(path.toStdString(), store::kDatabaseKey, access);
    } catch (const store::StoreError& e) {
        throw Failure(kFileError, "the data file " + u8(QDir::toNativeSeparators(path)) +
                                      " cannot be opened: " + e.what());
    }
}

// The factors the data file holds: the stored factor count within the eight slots, and the
// count as it is stored, for a message.
struct StoredFactors {
    int count = 0;
    std::string stored;
};

StoredFactors storedFactorCount(store::Database& db, core::NumberLocale locale) {
    const decision::FactorCount count = decision::ReadFactorCount(db, locale);
    return {count.factorsCovered(), decision::ShownValue(count.stored)};
}

// A factor number given on the command line, 1 to the stored factor count. A count that
// leaves no factor is the data's doing, not the argument's.
int factorArgument(const Command& command, const StoredFactors& factors) {
    bool whole = false;
    const int k = command.value("factor").toInt(&whole);
    if (whole && factors.count < 1)
        throw Failure(kNotPossible, "the stored factor count " + factors.stored +
                                        " leaves the data file without factors");
    if (!whole || k < 1 || k > factors.count)
        throw Failure(kUsage, "--factor " + u8(command.value("factor")) +
                                  ": the data file has factors 1 to " +
                                  std::to_string(factors.count));
    return k;
}

// ------------------------------------------------------------------ analyse

struct ShownDegree {
    std::string name;  // the label that shows it
    std::optional<double> value;
    std::string text;
};

struct Analysis {
    int factors = 0;
    std::string network;
    std::vector<ShownDegree> degrees;
    ShownDegree certainty{"G1", {}, {}};
    ShownDegree contradiction{"G2", {}, {}};
    ShownDegree g1n{"G1n", {}, {}};
    ShownDegree g2n{"~G2n", {}, {}};
    std::string verdictOnData;     // on ~G2n
    std::string verdictOnOpinion;  // on G1n
    std::string sentence;
    core::EstadoLogico state{};
    core::Fixed4 certaintyDegree;      // Gc and Gct as the state and the decision read them
    core::Fixed4 contradictionDegree;
    std::string stateText;
    std::vector<int> withoutAnswers;  // factors that entered with degrees 0
    std::vector<int> staleDegrees;    // factors whose stored degrees their answers do not give
    core::Language idioma = core::Language::Portuguese;
    // The network's pairs by factor (or reference block), nothing for one without answers:
    // what the barycentre weighs.
    std::vector<std::optional<core::EvidencePair>> answeredPairs;
    core::Fixed4 level = core::kNivelDeExigenciaPadrao;
    core::Decisao decision;
    std::optional<core::AnaliseDoBaricentro> barycentre;
};

ShownDegree shown(std::string name, const std::string& text, core::NumberLocale locale) {
    return {std::move(name), core::ParseLocaleNumber(text, locale), text};
}

std::string numbered(const char* stem, int i, const char* tail = "") {
    return stem + std::to_string(i) + tail;
}

void fourFactor(store::Database& db, core::NumberLocale locale, Analysis& a) {
    const auto pairs = StoredFactorPairs(db, 4);
    const core::Rede4fResult r = core::Rede4f(4, pairs, locale);
    a.withoutAnswers = StoredFactorsWithoutAnswers(db, pairs, locale);
    a.staleDegrees = StoredFactorsWithStaleDegrees(db, pairs, locale);
    for (int i = 0; i < 4; ++i)
        a.degrees.push_back(shown(numbered("lblF", i + 1, "G1"), r.lblG1[i], locale));
    for (int i = 0; i < 4; ++i)
        a.degrees.push_back(shown(numbered("lblF", i + 1, "G2"), r.lblG2[i], locale));
    // The value of a maximum is its four-decimal text; the label shows two decimals.
    for (int i = 0; i < 4; ++i) {
        ShownDegree max = shown(numbered("lblMax", i + 1), r.lblMax[i], locale);
        max.value = core::ParseLocaleNumber(r.max[i], locale);
        a.degrees.push_back(max);
    }
    ShownDegree min1 = shown("lblMin1", r.lblMin1, locale);
    min1.value = core::ParseLocaleNumber(r.lambdaR, locale);
    ShownDegree min2 = shown("lblMin2", r.lblMin2, locale);
    min2.value = core::ParseLocaleNumber(r.muR, locale);
    a.degrees.push_back(min1);
    a.degrees.push_back(min2);
    a.contradiction = shown("G2", r.grid[0], locale);
    a.certainty = shown("G1", r.grid[1], locale);
    a.g2n = shown("~G2n", r.grid[3], locale);
    a.g1n = shown("G1n", r.grid[4], locale);
    a.verdictOnData = core::VereditoNaoContradicao(r.grid[3], locale);
    a.verdictOnOpinion = core::VereditoCerteza(r.grid[4], locale);
    a.sentence = core::QualidadeDosDados(r.gG2n, r.gG1n);
    a.certaintyDegree = r.gG1;
    a.contradictionDegree = r.gG2;
    a.answeredPairs = core::ParesComRespostas(pairs, a.withoutAnswers);
}

ShownDegree shown(std::string name, const core::Degree& d) {
    return {std::move(name), d.text.empty() ? std::nullopt : std::optional<double>(d.value),
            d.text};
}

// What the family windows show below their factors, whatever the source.
void familyOutcome(const core::NetworkOutcome& r, core::NumberLocale locale, Analysis& a) {
    const auto fixed = [&](std::string name, core::Fixed4 value) {
        return ShownDegree{std::move(name), value.ToDouble(),
                           core::FormatNumber(value.ToDouble(), "0.0000", locale)};
    };
    a.certainty = fixed("G1", r.graus.G1);
    a.contradiction = fixed("G2", r.graus.G2);
    a.g2n = shown("~G2n", r.lblG2n, locale);
    a.g1n = shown("G1n", r.lblG1n, locale);
    a.verdictOnData = r.lblMsg2;
    a.verdictOnOpinion = r.lblMsg1;
    a.sentence = core::QualidadeDosDados(r.graus.G2nSingle, r.graus.G1n);
    a.certaintyDegree = r.graus.G1;
    a.contradictionDegree = r.graus.G2;
}

// The family network of the member's picture over the factors' stored pairs.
void ownFactors(store::Database& db, core::NumberLocale locale, Analysis& a) {
    const auto pairs = StoredFactorPairs(db, a.factors);
    const core::AnaliseFatoresPropriosResult r =
        core::AnalisarFatoresProprios(pairs, core::FamilyNetwork(a.factors), locale);
    a.withoutAnswers = StoredFactorsWithoutAnswers(db, pairs, locale);
    a.staleDegrees = StoredFactorsWithStaleDegrees(db, pairs, locale);
    a.answeredPairs = core::ParesComRespostas(pairs, a.withoutAnswers);
    for (std::size_t i = 0; i < r.factors.size(); ++i)
        a.degrees.push_back(shown(numbered("lblF", int(i) + 1, "G1"), r.factors[i].mu));
    for (std::size_t i = 0; i < r.factors.size(); ++i)
        a.degrees.push_back(shown(numbered("lblF", int(i) + 1, "G2"), r.factors[i].lambda));
    using core::Side;
    for (std::size_t c = 0; c < r.cells.size(); ++c)
        for (std::size_t k = 0; k < r.cells[c].size(); ++k) {
            a.degrees.push_back(
                shown(core::CellLabelName(Side::Contrary, int(c), int(k)), r.cells[c][k].lambda));
            a.degrees.push_back(
                shown(core::CellLabelName(Side::Favourable, int(c), int(k)), r.cells[c][k].mu));
        }
    familyOutcome(r, locale, a);
}

void referenceTable(store::Database& db, core::NumberLocale locale, Analysis& a) {
    const auto blocks = decision::ReadReferenceBlocks(db);
    const core::AnaliseFatoresResult r =
        core::AnalisarFatores({blocks[0], blocks[1], blocks[2], blocks[3]}, locale);
    for (int i = 0; i < 4; ++i)
        a.degrees.push_back(shown(numbered("lblF", i + 1, "G1"), r.blocks[i].mu));
    for (int i = 0; i < 4; ++i)
        a.degrees.push_back(shown(numbered("lblF", i + 1, "G2"), r.blocks[i].lambda));
    // A block without answers shows empty texts.
    for (const core::Anotacao& block : r.blocks)
        a.answeredPairs.push_back(block.mu.text.empty() ? std::nullopt
                                                        : std::optional(core::EvidencePair{
                                                              block.mu.value, block.lambda.value}));
    const char* steps[] = {"lblMax1", "lblMax2", "lblMin1", "lblMax3", "lblMax4", "lblMin2"};
    for (std::size_t k = 0; k < r.steps.size(); ++k)
        a.degrees.push_back(shown(steps[k], r.steps[k].result));
    familyOutcome(r, locale, a);
}

QJsonValue jsonNumber(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonObject jsonDegree(const ShownDegree& d) {
    return {{"value", jsonNumber(d.value)}, {"text", QString::fromStdString(d.text)}};
}

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

QJsonObject jsonDecision(const core::Decisao& d, core::Language idioma) {
    const std::string_view caveat = core::ChaveDaRessalva(d.ressalva);
    return {{"key", qs(core::ChaveDoVeredito(d.veredito))},
            {"caveat", caveat.empty() ? QJsonValue() : QJsonValue(qs(caveat))},
            {"text", qs(core::LinhaDaDecisao(d, idioma))}};
}

void printJson(const Analysis& a, std::ostream& out) {
    QJsonObject degrees;
    for (const ShownDegree& d : a.degrees)
        degrees.insert(QString::fromStdString(d.name), jsonDegree(d));
    QJsonArray withoutAnswers;
    for (const int f : a.withoutAnswers) withoutAnswers.append(f);
    QJsonArray staleDegrees;
    for (const int f : a.staleDegrees) staleDegrees.append(f);
    const QJsonObject root{
        {"factors", a.factors},
        {"network", QString::fromStdString(a.network)},
        {"degrees", degrees},
        {"withoutAnswers", withoutAnswers},
        {"staleDegrees", staleDegrees},
        {"certainty", jsonDegree(a.certainty)},
        {"contradiction", jsonDegree(a.contradiction)},
        {"G1n", jsonDegree(a.g1n)},
        {"G2n", jsonDegree(a.g2n)},
        {"verdicts", QJsonObject{{"data", QString::fromStdString(a.verdictOnData)},
                                 {"opinion", QString::fromStdString(a.verdictOnOpinion)}}},
        {"sentence", QString::fromStdString(a.sentence)},
        {"state", QJsonObject{{"key", QString::fromUtf8(core::ChaveDoEstado(a.state).data(),
                                                        int(core::ChaveDoEstado(a.state).size()))},
                              {"text", QString::fromStdString(a.stateText)}}},
    };
    QJsonObject withDecision = root;
    withDecision.insert("level", a.level.ToDouble());
    withDecision.insert("decision", jsonDecision(a.decision, a.idioma));
    if (a.barycentre) {
        const core::AnaliseDoBaricentro& b = *a.barycentre;
        withDecision.insert(
            "barycentre",
            QJsonObject{{"mu", b.par.Mi1},
                        {"lambda", b.par.Mi2},
                        {"certainty", b.graus.G1.ToDouble()},
                        {"contradiction", b.graus.G2.ToDouble()},
                        {"state", QJsonObject{{"key", qs(core::ChaveDoEstado(b.estado))},
                                              {"text", qs(core::NomeDoEstado(b.estado, a.idioma))}}},
                        {"decision", jsonDecision(b.decisao, a.idioma)}});
    } else {
        withDecision.insert("barycentre", QJsonValue());
    }
    out << QJsonDocument(withDecision).toJson(QJsonDocument::Indented).toStdString();
}

void printText(const Analysis& a, std::ostream& out) {
    const auto line = [&](const std::string& name, const std::string& text) {
        out << name << std::string(name.size() < 10 ? 10 - name.size() : 1, ' ') << text << '\n';
    };
    line("factors", std::to_string(a.factors));
    line("network", a.network);
    if (!a.withoutAnswers.empty())
        line("answers", core::LinhaSemRespostas(a.withoutAnswers, a.idioma));
    for (const int f : a.staleDegrees)
        line("warning", "the degrees of factor " + std::to_string(f) +
                            " do not follow from its answers; open the factor in the Likert "
                            "window to recompute them");
    for (const ShownDegree& d : a.degrees) line(d.name, d.text);
    for (const ShownDegree* d : {&a.certainty, &a.contradiction, &a.g2n, &a.g1n})
        line(d->name, d->text);
    line("data", a.verdictOnData);
    line("opinion", a.verdictOnOpinion);
    line("result", a.sentence);
    line("state", a.stateText);
    line("level", core::FormatNumber(a.level.ToDouble(), "0.00", {'.'}));
    line("decision", core::LinhaDaDecisao(a.decision, a.idioma));
    if (a.barycentre) {
        const core::AnaliseDoBaricentro& b = *a.barycentre;
        const auto fixed = [](double v) { return core::FormatNumber(v, "0.0000", {'.'}); };
        line("barycentre", "mu " + fixed(b.par.Mi1) + ", lambda " + fixed(b.par.Mi2) + ", Gc " +
                               fixed(b.graus.G1.ToDouble()) + ", Gct " +
                               fixed(b.graus.G2.ToDouble()) + "; " +
                               std::string(core::NomeDoEstado(b.estado, a.idioma)) + "; " +
                               core::LinhaDaDecisao(b.decisao, a.idioma));
    } else {
        line("barycentre", "none: no factor has answers");
    }
}

// --level: a requirement level from 0.00 to 1.00 in steps of 0.01.
core::Fixed4 levelArgument(const QString& text) {
    bool number = false;
    const double value = text.toDouble(&number);
    const double hundredths = value * 100;
    if (!number || value < 0 || value > 1 || std::abs(hundredths - std::round(hundredths)) > 1e-9)
        throw Failure(kUsage, "--level " + u8(text) + ": a level is 0.00 to 1.00 in steps of 0.01");
    return core::Fixed4::FromTicks(std::llround(hundredths) * (core::Fixed4::kScale / 100));
}

// The factor count of the analysis the stored count opens: 2 to 8.
int analysedFactorCount(store::Database& db, core::NumberLocale locale) {
    const decision::FactorCount count = decision::ReadFactorCount(db, locale);
    if (!count.analysed())
        throw Failure(kNotPossible, "the stored factor count " + decision::ShownValue(count.stored) +
                                        " opens no analysis");
    return *count.analysed();
}

// The analysis the stored factor count opens, as `analyse` prints it; `name` is the command's.
Analysis storedAnalysis(Command& command, store::Database& db, core::NumberLocale locale,
                        const char* name) {
    Analysis a;
    a.factors = analysedFactorCount(db, locale);
    if (a.factors == 4) {
        a.network = "four-factor";
        fourFactor(db, locale, a);
    } else if (command.isSet("own")) {
        a.network = "own-factors";
        ownFactors(db, locale, a);
    } else {
        a.network = "reference-table";
        referenceTable(db, locale, a);
    }
    a.idioma = core::LanguageFromStored(decision::ReadStoredLanguage(db));
    // The requirement level decides and bounds the logical state; --level overrides the
    // stored one without writing it.
    const decision::DecisionSettings settings = decision::ReadDecisionSettings(db, locale);
    for (const decision::SettingProblem& problem : settings.problems)
        std::fputs(("vpl-cli " + std::string(name) + ": " +
                    (problem.factor == 0 ? std::string("the stored requirement level ")
                                         : "the stored weight of factor " +
                                               std::to_string(problem.factor) + " ") +
                    decision::ShownValue(problem.stored) + " is not valid; the default is used\n")
                       .c_str(),
                   stderr);
    a.level = command.isSet("level") ? levelArgument(command.value("level"))
                                     : settings.requirementLevel();
    a.state = core::EstadoDoResultado(a.certaintyDegree, a.contradictionDegree, a.level);
    a.decision = core::DecisaoDoResultado(a.certaintyDegree, a.contradictionDegree, a.level);
    // The reference table's blocks are no factors of the user's: they weigh alike.
    std::vector<int> weights(a.answeredPairs.size(), core::kPesoPadrao);
    if (a.network != "reference-table")
        for (std::size_t i = 0; i < weights.size() && i < settings.weights.size(); ++i)
            weights[i] = settings.weights[i];
    a.barycentre = core::AnalisarBaricentro(a.answeredPairs, weights, a.level);
    a.stateText = core::NomeDoEstado(a.state, a.idioma);
    return a;
}

int analyse(Command& command, std::ostream& out) {
    auto db = openData(command.data, store::Database::Access::ReadOnly);
    const Analysis a = storedAnalysis(command, *db, systemNumberLocale(), "analyse");
    command.isSet("json") ? printJson(a, out) : printText(a, out);
    return kDone;
}

// ------------------------------------------------------------------ report

int report(Command& command, std::ostream& out) {
    const QString pdf = command.value("pdf");
    auto db = openData(command.data, store::Database::Access::ReadOnly);
    const core::NumberLocale locale = systemNumberLocale();
    const int factors = decision::ReadFactorCount(*db, locale).asInteger();
    if (factors != 4)
        throw Failure(kNotPossible,
                      "the report is of the four-factor analysis; the data file has " +
                          std::to_string(factors) + " factors");
    const core::Rede4fResult r = core::Rede4f(4, StoredFactorPairs(*db, 4), locale);
    const core::Language language = core::LanguageFromStored(decision::ReadStoredLanguage(*db));
    const ReportData data = FourFactorReportData(*db, 4, r, locale, language);
    // Printed without propositions, with a note; said here too.
    for (std::size_t i = 0; i < data.factors.size(); ++i)
        if (data.factors[i].withoutCount)
            std::fputs(("vpl-cli report: factor " + std::to_string(i + 1) +
                        " has no number of propositions and is printed without them; set it "
                        "in the factors window\n")
                           .c_str(),
                       stderr);
    if (const std::optional<QString> failure =
            WriteReportPdf(pdf, data, NetworkTablePicture::fourFactor()))
        throw Failure(kFileError,
                      "cannot write " + u8(QDir::toNativeSeparators(pdf)) + ": " + u8(*failure));
    out << "report written to " << u8(QDir::toNativeSeparators(pdf)) << '\n';
    return kDone;
}

// ------------------------------------------------------------------ picture

int picture(Command& command, std::ostream& out) {
    if (command.isSet("svg") == command.isSet("png"))
        throw Failure(kUsage, "usage: vpl-cli picture --svg FILE | --png FILE [--network] "
                              "[--own] [--level X] [--data FILE]");
    const PictureFormat format = command.isSet("svg") ? PictureFormat::Svg : PictureFormat::Png;
    const QString path = command.value(command.isSet("svg") ? "svg" : "png");
    auto db = openData(command.data, store::Database::Access::ReadOnly);
    const core::NumberLocale locale = systemNumberLocale();
    std::unique_ptr<Picture> drawing;
    if (command.isSet("network")) {
        // The user's factors' network with every degree at its cell.
        const int factors = analysedFactorCount(*db, locale);
        auto network = std::make_shared<NetworkTablePicture>(
            factors == 4 ? NetworkTablePicture::fourFactor()
                         : NetworkTablePicture(factors, core::FamilyNetwork(factors), true));
        const core::AnaliseFatoresPropriosResult r = core::AnalisarFatoresProprios(
            StoredFactorPairs(*db, factors), network->columns(), locale);
        drawing = std::make_unique<NetworkWithDegrees>(network, OwnNetworkDegrees(*network, r));
    } else {
        const Analysis a = storedAnalysis(command, *db, locale, "picture");
        drawing = std::make_unique<LatticePicture>(AnalysisDrawing(
            {a.g1n.value.value_or(0.5), a.g2n.value.value_or(0.5)}, a.answeredPairs,
            a.barycentre ? std::optional(PointOfDegrees(a.barycentre->graus)) : std::nullopt,
            a.level, locale));
    }
    if (const std::optional<QString> failure = SavePicture(*drawing, path, format))
        throw Failure(kFileError, "cannot write " + u8(QDir::toNativeSeparators(path)) + ": " +
                                      u8(*failure) + "; nothing written");
    out << "picture written to " << u8(QDir::toNativeSeparators(path)) << '\n';
    return kDone;
}

// ------------------------------------------------------------------ export

std::vector<core::SurveyProposition> surveyPropositions(const ReportFactor& factor) {
    std::vector<core::SurveyProposition> propositions;
    for (const decision::Proposition& p : factor.propositions) {
        core::SurveyProposition& s = propositions.emplace_back();
        s.text = p.text.toText().value_or("");
        for (int k = 0; k < store::kLikertPoints; ++k)
            s.counts[k] = static_cast<std::int32_t>(std::llround(p.stored[k]));
    }
    return propositions;
}

int exportCsv(Command& command, std::ostream& out) {
    auto db = openData(command.data, store::Database::Access::ReadOnly);
    const core::NumberLocale locale = systemNumberLocale();
    const StoredFactors stored = storedFactorCount(*db, locale);
    const std::vector<ReportFactor> factors = ReadReportFactors(*db, stored.count, locale);
    const auto withoutCount = [](int factor) {
        return "factor " + std::to_string(factor) + " has no number of propositions";
    };
    if (command.isSet("factor")) {
        const int k = factorArgument(command, stored);
        if (factors[k - 1].withoutCount)
            throw Failure(kNotPossible, withoutCount(k) + ": set it in the factors window");
        out << core::WriteCountsCsv(surveyPropositions(factors[k - 1]));
        return kDone;
    }
    std::vector<std::string> heading{"Fator"};
    for (const std::string& cell : core::CountsHeading()) heading.push_back(cell);
    out << core::CsvRecord(heading);
    for (std::size_t i = 0; i < factors.size(); ++i) {
        if (factors[i].withoutCount)
            std::fputs(("vpl-cli export: " + withoutCount(static_cast<int>(i) + 1) +
                        " and is left out; set it in the factors window\n")
                           .c_str(),
                       stderr);
        for (const core::SurveyProposition& p : surveyPropositions(factors[i])) {
            std::vector<std::string> cells{std::to_string(i + 1), p.text};
            for (const std::int32_t n : p.counts) cells.push_back(std::to_string(n));
            out << core::CsvRecord(cells);
        }
    }
    return kDone;
}

int exportXlsx(Command& command, std::ostream& out) {
    const QString path = command.value("xlsx");
    auto db = openData(command.data, store::Database::Access::ReadOnly);
    const core::NumberLocale locale = systemNumberLocale();
    const int factors = analysedFactorCount(*db, locale);
    const AnalysisSource source = factors == 4           ? AnalysisSource::FourFactor
                                  : command.isSet("own") ? AnalysisSource::OwnFactors
                                                         : AnalysisSource::ReferenceTable;
    const core::Language language = core::LanguageFromStored(decision::ReadStoredLanguage(*db));
    if (const std::optional<std::string> failure = ExportStoredAnalysis(
            *db, QFile::encodeName(path).toStdString(), factors, source, locale, language))
        throw Failure(kFileError, "cannot write " + u8(QDir::toNativeSeparators(path)) + ": " +
                                      *failure + "; nothing written");
    out << "spreadsheet written to " << u8(QDir::toNativeSeparators(path)) << '\n';
    return kDone;
}

int exportCommand(Command& command, std::ostream& out) {
    const bool csv = command.isSet("csv");
    const bool xlsx = command.isSet("xlsx");
    if (csv == xlsx || (xlsx && command.isSet("factor")) || (csv && command.isSet("own")))
        throw Failure(kUsage, "export either --csv [--factor K] or --xlsx FILE [--own]");
    return xlsx ? exportXlsx(command, out) : exportCsv(command, out);
}

// ------------------------------------------------------------------ import

std::string surveyRefusal(const core::SurveyError& e) {
    using Reason = core::SurveyError::Reason;
    switch (e.reason) {
        case Reason::NotCsv:
            return "the file is not a CSV file that can be read";
        case Reason::NoPropositions:
            if (!e.read.skippedColumns.empty())
                return "no column holds answers on the scale (1 to 5 or the scale's words)";
            return "the file holds no propositions";
        case Reason::EveryFactor:
            return "the file holds every factor (its first column is \"Fator\"); import per "
                   "factor, from one factor's file such as export --csv --factor K writes";
        case Reason::TooManyPropositions:
            break;
    }
    return "the file holds " + std::to_string(e.propositions) + " propositions; a factor holds " +
           std::to_string(store::kPropositionRows) + " at most";
}

void printPropositions(const std::vector<core::SurveyProposition>& propositions,
                       std::ostream& out) {
    for (std::size_t i = 0; i < propositions.size(); ++i) {
        const core::SurveyProposition& p = propositions[i];
        out << i + 1 << '\t' << printable(p.text);
        for (const std::int32_t n : p.counts) out << '\t' << n;
        out << '\n';
    }
}

void printSurvey(const core::SurveyFile& survey, std::ostream& out, bool withPropositions = true) {
    const bool counts = survey.layout == core::SurveyLayout::Counts;
    out << "layout: " << (counts ? "counts" : "responses")
        << (survey.sheet.empty()
                ? ", delimiter " + (survey.delimiter == '\t'
                                        ? std::string("tab")
                                        : '"' + std::string(1, survey.delimiter) + '"')
                : ", sheet \"" + printable(survey.sheet) + '"')
        << ", " << survey.rowsRead << (counts ? " rows" : " respondents") << " read\n";
    if (const char* tool = core::SurveyToolName(survey.tool)) out << "export of " << tool << '\n';
    if (withPropositions) printPropositions(survey.propositions, out);
    for (const core::SkippedColumn& c : survey.skippedColumns) {
        if (core::HoldsCodes(survey, c.column)) continue;  // its codes are listed instead
        out << "skipped: column " << c.column << " \"" << printable(c.heading) << "\": ";
        switch (c.reason) {
            case core::SkipReason::ToolField:
                out << "a field of the survey tool";
                break;
            case core::SkipReason::Dates:
                out << "holds dates or times";
                break;
            case core::SkipReason::Emails:
                out << "holds e-mail addresses";
                break;
            case core::SkipReason::Numbers:
                out << "holds numbers off the scale of 1 to 5";
                break;
            case core::SkipReason::NotAnswers:
                out << "only " << c.answers << " of its " << c.filled
                    << " cells are answers on the scale";
                break;
            case core::SkipReason::Empty:
                out << "holds no answers";
                break;
        }
        out << '\n';
    }
    for (const core::UnreadCell& c : survey.unread)
        if (!core::HoldsCodes(survey, c.column))
            out << "not understood: row " << c.row << ", column " << c.column << ": \""
            << printable(c.text) << "\"\n";
    if (survey.unreadNotListed > 0)
        out << "not understood: and " << survey.unreadNotListed << " more\n";
    for (const core::TotalMismatch& t : survey.totals)
        out << "total differs: row " << t.row << ", total \"" << printable(t.total) << "\", sum "
            << t.sum << '\n';
}

const char* const kImportUsage =
    "usage: vpl-cli import --factor K FILE | --all FILE --map MAP.json [--sheet NAME] "
    "[--dry-run] [--data FILE]";

std::string pointName(int point) {
    static const char* const kNames[] = {"no answer", "DT", "D", "I", "C", "CT"};
    return kNames[std::clamp(point, 0, store::kLikertPoints)];
}

int import(Command& command, std::ostream& out) {
    const QStringList files = command.parser.positionalArguments();
    const bool all = command.isSet("all");
    if (files.size() != 1 || all == command.isSet("factor") || (all && !command.isSet("map")))
        throw Failure(kUsage, kImportUsage);
    const bool dryRun = command.isSet("dry-run");
    auto db = openData(command.data, dryRun ? store::Database::Access::ReadOnly
                                            : store::Database::Access::AsTheFileAllows);
    const int k = all ? 0 : factorArgument(command, storedFactorCount(*db, systemNumberLocale()));
    const std::string shown = u8(QDir::toNativeSeparators(files.front()));

    core::SurveyFile survey;
    try {
        survey = core::ReadSurveyExport(QFile::encodeName(files.front()).toStdString(),
                                        command.isSet("sheet") ? u8(command.value("sheet")) : "");
    } catch (const core::SurveyFileError& e) {
        throw Failure(kFileError, "cannot read " + shown + ": " + e.what() + "; nothing imported");
    } catch (const core::WorkbookError& e) {
        throw Failure(kFileError, "cannot read " + shown + ": " + e.what() + "; nothing imported");
    } catch (const core::SurveyError& e) {
        // Respondents' rows without a statement: every column and why it was skipped.
        if (!e.read.skippedColumns.empty()) printSurvey(e.read, out);
        throw Failure(kNotPossible, shown + ": " + surveyRefusal(e) + "; nothing imported");
    }

    core::ImportChoices choices = core::DefaultChoices(survey, k);
    if (command.isSet("map")) {
        try {
            choices = ImportChoicesOf(ReadImportMap(command.value("map")), survey);
        } catch (const ImportMapError& e) {
            throw Failure(kUsage, u8(QDir::toNativeSeparators(command.value("map"))) + ": " +
                                      e.what() + "; nothing imported");
        }
        // One factor takes every proposition, as the map reverses them.
        if (!all)
            for (core::ItemChoice& item : choices.items) item.factor = k;
    }
    printSurvey(survey, out, false);
    for (const auto& [code, point] : choices.codes)
        out << "code \"" << printable(code) << "\": " << pointName(point) << '\n';
    if (const std::vector<std::string> missing = core::UnassignedCodes(survey, choices);
        !missing.empty()) {
        std::string list;
        for (const std::string& code : missing) list += (list.empty() ? "\"" : ", \"") + code + '"';
        throw Failure(kNotPossible, shown + ": the answer codes " + list +
                                        " have no point on the scale; give them in a map "
                                        "(--map MAP.json); nothing imported");
    }
    std::vector<core::FactorImport> factors;
    try {
        factors = core::FactorsToImport(
            survey, choices, core::LanguageFromStored(decision::ReadStoredLanguage(*db)));
    } catch (const core::SurveyError& e) {
        throw Failure(kNotPossible, shown + ": " + surveyRefusal(e) + "; nothing imported");
    }
    if (factors.empty())
        throw Failure(kNotPossible, shown + ": the map gives no proposition a factor; nothing imported");
    for (const core::FactorImport& f : factors) {
        if (all)
            out << "factor " << f.factor << (f.title.empty() ? "" : " \"" + printable(f.title) + '"')
                << ": " << f.propositions.size() << " propositions\n";
        printPropositions(f.propositions, out);
    }
    if (dryRun) {
        out << "dry run: nothing written\n";
        return kDone;
    }
    if (db->readOnly())
        throw Failure(kFileError, "the data file " + u8(QDir::toNativeSeparators(command.data)) +
                                      " cannot be written; nothing imported");
    for (const int f : FactorsReplacingData(*db, factors))
        out << "factor " << f << ": its propositions and answers are replaced\n";
    if (all)
        StoreImportedFactors(*db, factors);
    else
        StoreImportedFactor(*db, k, factors.front().propositions);
    for (const core::FactorImport& f : factors)
        out << "imported " << f.propositions.size() << " propositions into factor " << f.factor
            << '\n';
    return kDone;
}

// ------------------------------------------------------------------ backup

int backup(Command& command, std::ostream& out) {
    const QString target = command.parser.positionalArguments().front();
    auto db = openData(command.data, store::Database::Access::ReadOnly);
    try {
        db->backupTo(target.toStdString(), store::kDatabaseKey);
    } catch (const store::StoreError& e) {
        throw Failure(kFileError, "cannot write " + u8(QDir::toNativeSeparators(target)) + ": " +
                                      e.what() + "; nothing written");
    }
    out << "backup written to " << u8(QDir::toNativeSeparators(target)) << '\n';
    return kDone;
}

// ------------------------------------------------------------------ sensitivity

QJsonObject jsonSensitivity(const core::SensibilidadeDoResultado& r, core::Language idioma) {
    QJsonObject shares;
    for (const core::Veredito v :
         {core::Veredito::Viavel, core::Veredito::NaoConclusivo, core::Veredito::Inviavel})
        shares.insert(qs(core::ChaveDoVeredito(v)), r.partilha.Parcela(v));
    QJsonArray region;
    for (const core::PontoNormalizado& p : r.regiao) region.append(QJsonArray{p.G1n, p.G2n});
    QJsonArray without;
    for (const std::optional<core::Decisao>& d : r.semOFator)
        without.append(d ? QJsonValue(jsonDecision(*d, idioma)) : QJsonValue());
    QJsonArray decisive;
    for (const int f : core::FatoresDecisivos(r)) decisive.append(f);
    return {{"certainty", r.graus.G1.ToDouble()},
            {"contradiction", r.graus.G2.ToDouble()},
            {"decision", jsonDecision(r.decisao, idioma)},
            {"shares", shares},
            {"region", region},
            {"withoutFactor", without},
            {"decisiveFactors", decisive},
            {"levels", QJsonArray{r.faixa.de.ToDouble(), r.faixa.ate.ToDouble()}}};
}

void printSensitivity(const std::string& name, const core::SensibilidadeDoResultado& r,
                      bool resampled, core::Language idioma, std::ostream& out) {
    const auto percent = [](double share) {
        return core::FormatNumber(100 * share, "0.0", {'.'}) + " %";
    };
    const auto hundredths = [](core::Fixed4 v) { return core::FormatNumber(v.ToDouble(), "0.00", {'.'}); };
    out << name << "  " << core::LinhaDaDecisao(r.decisao, idioma) << '\n';
    if (resampled) {
        out << name << "  draws: ";
        const char* separator = "";
        for (const core::Veredito v :
             {core::Veredito::Viavel, core::Veredito::NaoConclusivo, core::Veredito::Inviavel}) {
            out << separator << core::ChaveDoVeredito(v) << ' ' << percent(r.partilha.Parcela(v));
            separator = ", ";
        }
        out << '\n';
    }
    for (std::size_t f = 0; f < r.semOFator.size(); ++f)
        out << name << "  without factor " << f + 1 << ": "
            << (r.semOFator[f] ? core::LinhaDaDecisao(*r.semOFator[f], idioma)
                               : std::string("no factor left"))
            << '\n';
    out << name << "  levels keeping it: " << hundredths(r.faixa.de) << " to "
        << hundredths(r.faixa.ate) << '\n';
}

int sensitivity(Command& command, std::ostream& out) {
    auto db = openData(command.data, store::Database::Access::ReadOnly);
    const core::NumberLocale locale = systemNumberLocale();
    const int factors = analysedFactorCount(*db, locale);
    const decision::DecisionSettings settings = decision::ReadDecisionSettings(*db, locale);
    core::EntradaDaSensibilidade input = StoredSensitivityInput(
        *db, factors, factors == 4 || command.isSet("own"), settings, locale);
    if (command.isSet("level")) input.nivel = levelArgument(command.value("level"));
    const core::Sensibilidade result = core::AnalisarSensibilidade(input);
    const core::Language idioma = core::LanguageFromStored(decision::ReadStoredLanguage(*db));
    QJsonArray notResampled;
    for (const int f : result.semReamostragem) notResampled.append(f);
    if (command.isSet("json")) {
        const QJsonObject root{
            {"factors", factors},
            {"level", input.nivel.ToDouble()},
            {"resampled", result.reamostrada},
            {"notResampled", notResampled},
            {"network", jsonSensitivity(result.rede, idioma)},
            {"barycentre", result.baricentro ? QJsonValue(jsonSensitivity(*result.baricentro, idioma))
                                             : QJsonValue()},
        };
        out << QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
        return kDone;
    }
    out << "factors     " << factors << '\n'
        << "level       " << core::FormatNumber(input.nivel.ToDouble(), "0.00", {'.'}) << '\n';
    if (!result.reamostrada) {
        out << "draws       none: the stored degrees of factor";
        for (const int f : result.semReamostragem) out << ' ' << f;
        out << " are not what their answers give, so the respondents cannot be drawn again\n";
    } else {
        out << "draws       1000, the respondents of every proposition drawn again\n";
    }
    printSensitivity("network   ", result.rede, result.reamostrada, idioma, out);
    if (result.baricentro)
        printSensitivity("barycentre", *result.baricentro, result.reamostrada, idioma, out);
    return kDone;
}

// ------------------------------------------------------------------ compare

int compare(Command& command, std::ostream& out) {
    const core::NumberLocale locale = systemNumberLocale();
    std::vector<std::string> files;
    for (const QString& file : command.parser.positionalArguments()) files.push_back(u8(file));
    const std::vector<ComparedDecision> ranked = CompareDecisions(files, locale);
    const auto fixed = [&](double value) { return core::FormatNumber(value, "0.0000", locale); };
    const auto stateKey = [](core::EstadoLogico state) {
        return std::string(core::ChaveDoEstado(state));
    };
    bool allAnalysed = true;
    if (command.isSet("json")) {
        QJsonArray rows;
        int rank = 0;
        for (const ComparedDecision& c : ranked) {
            QJsonObject row{{"file", QString::fromStdString(c.file)}};
            if (c.outcome) {
                const DecisionOutcome& o = *c.outcome;
                row.insert("rank", ++rank);
                row.insert("question", QString::fromStdString(o.question));
                row.insert("factors", o.factors);
                row.insert("muR", o.muR);
                row.insert("lambdaR", o.lambdaR);
                row.insert("certainty", o.certainty.ToDouble());
                row.insert("contradiction", o.contradiction.ToDouble());
                row.insert("state", QString::fromStdString(stateKey(o.state)));
                row.insert("level", o.level.ToDouble());
                row.insert("decision", qs(core::ChaveDoVeredito(o.decision.veredito)));
            } else {
                allAnalysed = false;
                row.insert("failure", QString::fromStdString(c.failure));
            }
            rows.append(row);
        }
        out << QJsonDocument(rows).toJson(QJsonDocument::Indented).toStdString();
    } else {
        out << "rank\tGc\tGct\tmuR\tlambdaR\tfactors\tstate\tdecision\tfile\tquestion\n";
        int rank = 0;
        for (const ComparedDecision& c : ranked) {
            if (!c.outcome) {
                allAnalysed = false;
                out << "-\t\t\t\t\t\t\t\t" << printable(c.file) << "\t" << printable(c.failure)
                    << '\n';
                continue;
            }
            const DecisionOutcome& o = *c.outcome;
            out << ++rank << '\t' << fixed(o.certainty.ToDouble()) << '\t'
                << fixed(o.contradiction.ToDouble()) << '\t' << fixed(o.muR) << '\t'
                << fixed(o.lambdaR) << '\t' << o.factors << '\t' << stateKey(o.state) << '\t'
                << core::ChaveDoVeredito(o.decision.veredito) << '\t' << printable(c.file) << '\t' << printable(o.question) << '\n';
        }
    }
    return allAnalysed ? kDone : kFileError;
}

// ------------------------------------------------------------------ dispatch

struct CommandEntry {
    const char* name;
    int (*run)(Command&, std::ostream&);
    std::vector<std::pair<const char*, const char*>> options;  // name, value name or nullptr
    const char* required;  // an option that must be given, or nullptr
    int files = 0;         // how many file names follow the options
    bool orMore = false;   // at least `files` of them
};

const std::vector<CommandEntry>& commands() {
    static const std::vector<CommandEntry> table{
        {"analyse", analyse, {{"json", nullptr}, {"own", nullptr}, {"level", "X"}}, nullptr},
        {"report", report, {{"pdf", "OUT"}}, "pdf"},
        {"import",
         import,
         {{"factor", "K"}, {"all", nullptr}, {"map", "MAP"}, {"sheet", "NAME"}, {"dry-run", nullptr}},
         nullptr,
         1},
        {"export", exportCommand,
         {{"csv", nullptr}, {"factor", "K"}, {"xlsx", "FILE"}, {"own", nullptr}}, nullptr},
        {"backup", backup, {}, nullptr, 1},
        {"compare", compare, {{"json", nullptr}}, nullptr, 2, true},
        {"sensitivity", sensitivity, {{"json", nullptr}, {"own", nullptr}, {"level", "X"}}, nullptr},
        {"picture", picture,
         {{"svg", "FILE"}, {"png", "FILE"}, {"network", nullptr}, {"own", nullptr}, {"level", "X"}},
         nullptr},
    };
    return table;
}

}  // namespace

int Run(const QStringList& arguments, const QString& defaultData, std::ostream& out,
        std::ostream& err) {
    if (arguments.isEmpty()) {
        err << kUsageLine << '\n';
        return kUsage;
    }
    if (arguments.front() == "--help" || arguments.front() == "-h" || arguments.front() == "help") {
        out << kHelp;
        return kDone;
    }
    const auto entry =
        std::find_if(commands().begin(), commands().end(),
                     [&](const CommandEntry& c) { return arguments.front() == c.name; });
    if (entry == commands().end()) {
        err << "vpl-cli: unknown command \"" << printable(arguments.front()) << "\"\n"
            << kUsageLine << '\n';
        return kUsage;
    }

    Command command;
    for (const auto& [name, valueName] : entry->options)
        command.parser.addOption(valueName ? QCommandLineOption(name, QString(), valueName)
                                           : QCommandLineOption(name));
    command.parser.addOption(QCommandLineOption("data", QString(), "FILE"));
    // The program's name stands first in what the parser reads.
    if (!command.parser.parse(QStringList{"vpl-cli"} + arguments.mid(1))) {
        err << "vpl-cli: " << printable(command.parser.errorText()) << '\n' << kUsageLine << '\n';
        return kUsage;
    }
    if ((entry->required && !command.isSet(entry->required)) ||
        (entry->orMore ? command.parser.positionalArguments().size() < entry->files
                       : command.parser.positionalArguments().size() != entry->files)) {
        err << "vpl-cli " << entry->name << ": missing or unexpected arguments\n"
            << kUsageLine << '\n';
        return kUsage;
    }
    command.data = command.isSet("data") ? command.value("data") : defaultData;

    const std::string dataFile = u8(QDir::toNativeSeparators(command.data));
    const auto fail = [&](const std::string& line, int status) {
        err << "vpl-cli " << entry->name << ": " << printable(line) << '\n';
        return status;
    };
    try {
        return entry->run(command, out);
    } catch (const Failure& f) {
        return fail(f.what(), f.status);
    } catch (const store::StoreError& e) {
        using Kind = store::StoreError::Kind;
        const char* what = e.kind == Kind::Locked  ? " is locked by another program: "
                           : e.kind == Kind::Full  ? " cannot be written, the disk is full: "
                           : e.kind == Kind::Other ? " cannot be used: "
                                                   : " is damaged: ";
        return fail("the data file " + dataFile + what + e.what(), kFileError);
    } catch (const InvalidDataError& e) {
        return fail("the data file " + dataFile + " holds data that is not valid: " + e.what(),
                    kFileError);
    } catch (const std::exception& e) {
        // What no check above foresaw ends in a line, not in an abort.
        return fail(e.what(), kNotPossible);
    }
}

}  // namespace vpl::cli
