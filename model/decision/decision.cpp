#include "decision/decision.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "store/schema.h"

namespace vpl::decision {

namespace {

constexpr const char* kParametro = "Parametro";
constexpr const char* kCadastro = "Cadastro";
constexpr const char* kFatores = "Fatores";
constexpr const char* kReferenceTable = "PLikert";

constexpr int kBlockRows = 19;  // of the 20 keys of a reference block, the last is never read

std::vector<std::string> countFields() {
    std::vector<std::string> fields;
    for (int j = 1; j <= store::kLikertPoints; ++j) fields.push_back(store::likertField(j));
    return fields;
}

std::vector<std::string> propositionFields() {
    std::vector<std::string> fields{"Proposicao"};
    for (const std::string& field : countFields()) fields.push_back(field);
    return fields;
}

const std::vector<std::string> kFactorFields{"Fator", "Prop", "Mi1", "Mi2"};

std::vector<std::string> registrationFields() {
    std::vector<std::string> fields{"Questao"};
    for (int i = 1; i <= store::kParticipants; ++i) fields.push_back(store::participantField(i));
    return fields;
}

const std::vector<std::string> kDegreeFields{"Mi1", "Mi2"};

Factor factorOf(const store::Row& row, int number, FactorFields fields) {
    if (fields == FactorFields::Degrees) return {number, {}, {}, row.value("Mi1"), row.value("Mi2")};
    return {number, row.value("Fator"), row.value("Prop"), row.value("Mi1"), row.value("Mi2")};
}

store::Assignments degreeFields(const std::optional<core::StoredDegrees>& degrees) {
    if (!degrees) return {};
    return {{"Mi1", store::Value(degrees->Mi1)}, {"Mi2", store::Value(degrees->Mi2)}};
}

// A count of the reference table as the block sums read it: a whole number of answers.
// Anything else (NULL, a text, a fraction, a negative or huge number) stops the analysis.
std::int32_t referenceCount(const store::Row& row, const std::string& field) {
    const store::Value& value = row.value(field);
    const std::optional<double> n = value.number();
    if (!n || !IsWholeCount(*n, std::numeric_limits<std::int32_t>::max()))
        throw InvalidDataError("Contagem inválida em PLikert, chave " + std::to_string(row.key()) +
                               ", campo " + field + ": " + ShownValue(value));
    return static_cast<std::int32_t>(*n);
}

using Cleared = std::vector<std::pair<std::string, store::Value>>;

// Empties `fields` in the table's first `rows` rows (every row when negative). Only the rows
// that hold something are written, so clearing a barely used file writes (and syncs) next to
// nothing; a NULL counts as something to clear.
void clearRows(store::Database& db, const std::string& table, int rows, const Cleared& fields) {
    std::string set, filled;
    std::vector<store::Value> values;
    for (const auto& [field, empty] : fields) {
        set += (set.empty() ? "[" : ", [") + field + "] = ?";
        values.push_back(empty);
    }
    for (const auto& [field, empty] : fields) {
        filled += (filled.empty() ? "[" : " OR [") + field + "] IS NOT ?";
        values.push_back(empty);
    }
    std::string sql = "UPDATE [" + table + "] SET " + set + " WHERE (" + filled + ")";
    if (rows >= 0) {
        // StoreError when the table holds fewer rows.
        sql += " AND [Id] <= ?";
        values.emplace_back(db.keyAt(table, rows));
    }
    db.execute(sql, values);
}

}  // namespace

std::optional<double> StoredNumber(const store::Value& value, core::NumberLocale locale) {
    if (value.isText()) return core::ParseLocaleNumber(value.text(), locale);
    return value.number();
}

std::string ShownValue(const store::Value& value) {
    return value.toText().value_or("Null");
}

bool IsWholeCount(double n, double max) {
    return n >= 0 && n <= max && n == std::floor(n);
}

// ------------------------------------------------------------------ parameters

std::optional<int> FactorCount::analysed() const {
    if (number >= 2 && number <= store::kFactorSlots && number == std::floor(number))
        return static_cast<int>(number);
    return std::nullopt;
}

std::int16_t FactorCount::asInteger() const {
    return static_cast<std::int16_t>(std::clamp(std::nearbyint(number), -32768.0, 32767.0));
}

int FactorCount::factorsCovered() const {
    return std::clamp<int>(asInteger(), 0, store::kFactorSlots);
}

FactorCount ReadFactorCount(store::Database& db, core::NumberLocale locale) {
    FactorCount count;
    count.stored = db.firstRow(kParametro, {"Fatores"}).value("Fatores");
    count.number = StoredNumber(count.stored, locale).value_or(4);
    return count;
}

Parameters ReadParameters(store::Database& db) {
    const store::Row row = db.firstRow(kParametro, {"Fatores", "Idioma", "versaoBD"});
    return {row.key(), row.value("Fatores"), row.value("Idioma").number(), row.text("versaoBD")};
}

std::optional<double> ReadStoredLanguage(store::Database& db) {
    return db.firstRow(kParametro, {"Idioma"}).value("Idioma").number();
}

void SaveLanguage(store::Database& db, store::Key parameters, core::Language language) {
    db.update(kParametro, parameters, {{"Idioma", int(core::StoredNumber(language))}});
}

// ------------------------------------------------------------------ registration

Registration ReadRegistration(store::Database& db) {
    const store::Row row = db.firstRow(kCadastro, registrationFields());
    Registration r;
    r.question = row.value("Questao").toText();
    for (int i = 0; i < store::kParticipants; ++i)
        r.participants[i] = row.value(store::participantField(i + 1)).toText();
    return r;
}

void SaveRegistration(store::Database& db, const Registration& before, const Registration& after,
                      std::int64_t seenVersion) {
    store::Assignments fields;
    if (after.question != before.question)
        fields.emplace_back("Questao", store::Value(after.question.value_or("")));
    for (int i = 0; i < store::kParticipants; ++i)
        if (after.participants[i] != before.participants[i])
            fields.emplace_back(store::participantField(i + 1),
                                store::Value(after.participants[i].value_or("")));
    if (fields.empty()) return;
    store::Transaction tx(db, seenVersion);
    db.updateFirst(kCadastro, 1, fields);
    tx.commit();
}

std::string ReadQuestion(store::Database& db) {
    return db.firstRow(kCadastro, {"Questao"}).value("Questao").toText().value_or("");
}

store::Value ReadOfferedFactors(store::Database& db) {
    return db.firstRow(kCadastro, {"nFatores"}).value("nFatores");
}

std::optional<int> OfferedFactorCount(const store::Value& stored, core::NumberLocale locale) {
    const std::optional<double> count = StoredNumber(stored, locale);
    if (count && IsWholeCount(*count, store::kFactorSlots)) return static_cast<int>(*count);
    return std::nullopt;
}

// ------------------------------------------------------------------ factors

PropositionCount ReadPropositionCount(const store::Value& prop, core::NumberLocale locale) {
    const std::string text = prop.toText().value_or("");
    if (text.find_first_not_of(" \t") == std::string::npos) return {};
    const std::optional<double> n = StoredNumber(prop, locale);
    if (n && IsWholeCount(*n, store::kPropositionRows))
        return {PropositionCount::State::Valid, static_cast<int>(*n)};
    return {PropositionCount::State::Invalid, 0};
}

PropositionCount Factor::propositionCount(core::NumberLocale locale) const {
    return ReadPropositionCount(prop, locale);
}

int Factor::rowsShown(core::NumberLocale locale) const {
    const PropositionCount count = propositionCount(locale);
    if (count.state == PropositionCount::State::Missing) return 4;
    if (count.state == PropositionCount::State::Invalid)
        throw InvalidDataError("O número de pressupostos do fator " + std::to_string(number) +
                               " não é válido: " + ShownValue(prop) + ".");
    return count.count;
}

std::optional<std::pair<double, double>> Factor::degrees() const {
    const std::optional<double> a = mi1.number();
    const std::optional<double> b = mi2.number();
    if (a && b) return std::pair(*a, *b);
    return std::nullopt;
}

std::vector<Factor> ReadFactors(store::Database& db, int count, FactorFields fields) {
    std::vector<Factor> factors;
    for (const store::Row& row : db.firstRowsUpTo(
             kFatores, fields == FactorFields::Degrees ? kDegreeFields : kFactorFields, count))
        factors.push_back(factorOf(row, static_cast<int>(factors.size()) + 1, fields));
    return factors;
}

Factor ReadFactor(store::Database& db, int number) {
    const std::optional<store::Row> row = db.rowByKey(kFatores, kFactorFields, number);
    if (!row)
        throw store::StoreError("Registro não encontrado: Fatores chave " + std::to_string(number) +
                                ".");
    return factorOf(*row, number, FactorFields::All);
}

// ------------------------------------------------------------------ decision settings

namespace {

constexpr const char* kRequirementField = "Exigencia";
constexpr const char* kWeightField = "Peso";

std::optional<int> requirementOf(const store::Value& stored, core::NumberLocale locale) {
    const std::optional<double> level = StoredNumber(stored, locale);
    if (!level || !(*level >= 0 && *level <= 1)) return std::nullopt;
    return static_cast<int>(core::RoundHalfAwayFromZero(*level * kMaxRequirement));
}

std::optional<int> weightOf(const store::Value& stored, core::NumberLocale locale) {
    const std::optional<double> weight = StoredNumber(stored, locale);
    if (!weight || *weight < kMinWeight || !IsWholeCount(*weight, kMaxWeight)) return std::nullopt;
    return static_cast<int>(*weight);
}

// The settings of the stored values: none for a field the file lacks; a factor row the
// file lacks keeps the default weight.
DecisionSettings settingsOf(const std::optional<store::Value>& level,
                            const std::vector<store::Value>& weights, core::NumberLocale locale) {
    DecisionSettings settings;
    if (level) {
        if (const std::optional<int> read = requirementOf(*level, locale))
            settings.requirement = *read;
        else
            settings.problems.push_back({0, *level});
    }
    for (std::size_t n = 0; n < weights.size() && n < settings.weights.size(); ++n) {
        if (const std::optional<int> read = weightOf(weights[n], locale))
            settings.weights[n] = *read;
        else
            settings.problems.push_back({static_cast<int>(n) + 1, weights[n]});
    }
    return settings;
}

// Adds a setting's field to a file written before it, inside the save's transaction.
void addMissingField(store::Database& db, const char* table, const char* field,
                     store::Database::FieldType type, const store::Value& initial) {
    if (!db.hasField(table, field)) db.addField(table, field, type, initial);
}

}  // namespace

bool DecisionSettings::readAsDefault(int factor) const {
    return std::any_of(problems.begin(), problems.end(),
                       [factor](const SettingProblem& p) { return p.factor == factor; });
}

DecisionSettings ReadDecisionSettings(store::Database& db, core::NumberLocale locale) {
    std::optional<store::Value> level;
    if (db.hasField(kParametro, kRequirementField))
        level = db.firstRow(kParametro, {kRequirementField}).value(kRequirementField);
    std::vector<store::Value> weights;
    if (db.hasField(kFatores, kWeightField))
        for (const store::Row& row :
             db.firstRowsUpTo(kFatores, {kWeightField}, store::kFactorSlots))
            weights.push_back(row.value(kWeightField));
    return settingsOf(level, weights, locale);
}

// ------------------------------------------------------------------ factors window

FactorsForm ReadFactorsForm(store::Database& db, core::NumberLocale locale) {
    const bool levelStored = db.hasField(kParametro, kRequirementField);
    const bool weightsStored = db.hasField(kFatores, kWeightField);
    std::vector<std::string> parameterFields{"Fatores"};
    if (levelStored) parameterFields.emplace_back(kRequirementField);
    std::vector<std::string> factorFields{"Fator", "Prop"};
    if (weightsStored) factorFields.emplace_back(kWeightField);

    FactorsForm form;
    const store::Row parameters = db.firstRow(kParametro, parameterFields);
    form.count = parameters.text("Fatores");
    const std::vector<store::Row> rows = db.firstRows(kFatores, factorFields, store::kFactorSlots);
    std::vector<store::Value> weights;
    // A NULL title or count left by another program reads as empty.
    for (int n = 0; n < store::kFactorSlots; ++n) {
        form.titles[n] = rows[n].value("Fator").toText().value_or("");
        form.props[n] = rows[n].value("Prop").toText().value_or("");
        if (weightsStored) weights.push_back(rows[n].value(kWeightField));
    }
    std::optional<store::Value> level;
    if (levelStored) level = parameters.value(kRequirementField);
    form.settings = settingsOf(level, weights, locale);
    return form;
}

void SaveFactorsForm(store::Database& db, const FactorsForm& before, const FactorsForm& after,
                     std::int64_t seenVersion) {
    store::Transaction tx(db, seenVersion);
    store::Assignments parameters;
    if (after.count != before.count) parameters.emplace_back("Fatores", after.count);
    if (after.settings.requirement != before.settings.requirement ||
        before.settings.readAsDefault(0)) {
        addMissingField(db, kParametro, kRequirementField, store::Database::FieldType::Real,
                        kDefaultRequirement / double(kMaxRequirement));
        parameters.emplace_back(kRequirementField,
                                after.settings.requirement / double(kMaxRequirement));
    }
    if (!parameters.empty()) db.updateFirst(kParametro, 1, parameters);
    // The Likert window offers as many factors as the analyses follow.
    if (after.count != ReadOfferedFactors(db).toText().value_or(""))
        db.updateFirst(kCadastro, 1, {{"nFatores", after.count}});
    const std::vector<store::Row> rows = db.firstRows(kFatores, {}, store::kFactorSlots);
    for (int n = 0; n < store::kFactorSlots; ++n) {
        store::Assignments fields;
        if (after.titles[n] != before.titles[n]) fields.emplace_back("Fator", after.titles[n]);
        if (after.props[n] != before.props[n]) fields.emplace_back("Prop", after.props[n]);
        if (after.settings.weights[n] != before.settings.weights[n] ||
            before.settings.readAsDefault(n + 1)) {
            addMissingField(db, kFatores, kWeightField, store::Database::FieldType::Integer,
                            kDefaultWeight);
            fields.emplace_back(kWeightField, after.settings.weights[n]);
        }
        if (!fields.empty()) db.update(kFatores, rows[n].key(), fields);
    }
    tx.commit();
}

// ------------------------------------------------------------------ propositions

bool Proposition::readable(int point) const {
    return IsWholeCount(stored[point], std::numeric_limits<std::int32_t>::max());
}

core::Counts Proposition::counts() const {
    core::Counts c{};
    for (int j = 0; j < store::kLikertPoints; ++j)
        c[j] = readable(j) ? static_cast<std::int32_t>(stored[j]) : 0;
    return c;
}

std::vector<Proposition> ReadPropositions(store::Database& db, int factor, int count) {
    const std::vector<std::string> fields = propositionFields();
    std::vector<Proposition> propositions;
    for (const store::Row& row : db.firstRows(store::propositionTable(factor), fields, count)) {
        Proposition& p = propositions.emplace_back();
        p.key = row.key();
        p.text = row.value("Proposicao");
        for (int j = 0; j < store::kLikertPoints; ++j) p.stored[j] = row.number(fields[j + 1]);
    }
    return propositions;
}

void SaveCount(store::Database& db, int factor, store::Key proposition, int point,
               std::int32_t count, const std::optional<core::StoredDegrees>& degrees,
               std::int64_t seenVersion) {
    store::Transaction tx(db, seenVersion);
    db.update(store::propositionTable(factor), proposition,
              {{store::likertField(point), store::Value(count)}});
    if (degrees) db.update(kFatores, factor, degreeFields(degrees));
    tx.commit();
}

void SavePropositions(store::Database& db, int factor, const std::vector<PropositionChange>& changes,
                      const std::optional<core::StoredDegrees>& degrees, std::int64_t seenVersion) {
    store::Transaction tx(db, seenVersion);
    for (const PropositionChange& change : changes) {
        store::Assignments fields;
        if (change.text) fields.emplace_back("Proposicao", *change.text);
        for (const auto& [point, count] : change.counts)
            fields.emplace_back(store::likertField(point), store::Value(count));
        db.update(store::propositionTable(factor), change.key, fields);
    }
    if (degrees && db.rowByKey(kFatores, {}, factor))
        db.update(kFatores, factor, degreeFields(degrees));
    tx.commit();
}

namespace {

// A factor's rows replaced, inside the caller's transaction.
void replaceRows(store::Database& db, int factor, const std::vector<NewProposition>& rows,
                 const std::optional<std::string>& title) {
    std::vector<core::Counts> counts;
    for (const NewProposition& p : rows) counts.push_back(p.counts);
    const core::StoredDegrees degrees = core::DegreesOf(counts);

    const std::string table = store::propositionTable(factor);
    const std::vector<store::Row> stored = db.firstRows(table, {}, store::kPropositionRows);
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const bool replaced = i < rows.size();
        store::Assignments fields{
            {"Proposicao", store::Value(replaced ? rows[i].text : std::string())}};
        for (int j = 1; j <= store::kLikertPoints; ++j)
            fields.emplace_back(store::likertField(j),
                                store::Value(replaced ? rows[i].counts[j - 1] : 0));
        db.update(table, stored[i].key(), fields);
    }
    store::Assignments factorFields{{"Prop", store::Value(std::to_string(rows.size()))},
                                    {"Mi1", store::Value(degrees.Mi1)},
                                    {"Mi2", store::Value(degrees.Mi2)}};
    if (title) factorFields.emplace_back("Fator", store::Value(*title));
    db.update(kFatores, factor, factorFields);
}

}  // namespace

void ReplacePropositions(store::Database& db, int factor, const std::vector<NewProposition>& rows) {
    store::Transaction tx(db);
    replaceRows(db, factor, rows, std::nullopt);
    tx.commit();
}

void ReplaceFactors(store::Database& db, const std::vector<FactorReplacement>& factors) {
    store::Transaction tx(db);
    for (const FactorReplacement& f : factors) replaceRows(db, f.factor, f.rows, f.title);
    tx.commit();
}

bool FactorHoldsData(store::Database& db, int factor) {
    const std::vector<std::string> fields = propositionFields();
    for (const store::Row& row :
         db.firstRows(store::propositionTable(factor), fields, store::kPropositionRows)) {
        if (!row.value("Proposicao").toText().value_or("").empty()) return true;
        for (int j = 0; j < store::kLikertPoints; ++j) {
            const std::optional<double> n = row.value(fields[j + 1]).number();
            if (n && *n != 0) return true;
        }
    }
    return false;
}

namespace {
const std::vector<std::string> kSnapshotFactorFields{"Prop", "Mi1", "Mi2"};
}

FactorSnapshot SnapshotFactor(store::Database& db, int factor) {
    FactorSnapshot snapshot{factor, db.firstRows(store::propositionTable(factor),
                                                 propositionFields(), store::kPropositionRows)};
    std::optional<store::Row> row = db.rowByKey(kFatores, kSnapshotFactorFields, factor);
    if (!row)
        throw store::StoreError("Registro não encontrado: Fatores chave " + std::to_string(factor) +
                                ".");
    snapshot.rows.push_back(std::move(*row));
    return snapshot;
}

void RestoreFactor(store::Database& db, const FactorSnapshot& snapshot, std::int64_t seenVersion) {
    store::Transaction tx(db, seenVersion);
    for (const store::Row& row : snapshot.rows) {
        const bool factorRow = &row == &snapshot.rows.back();
        store::Assignments fields;
        for (const std::string& field : factorRow ? kSnapshotFactorFields : propositionFields())
            fields.emplace_back(field, row.value(field));
        db.update(row.table(), row.key(), fields);
    }
    tx.commit();
}

void ClearDecision(store::Database& db) {
    Cleared registration{{"Questao", ""}, {"Depto", ""}};
    for (int i = 1; i <= store::kParticipants; ++i)
        registration.emplace_back(store::participantField(i), "");
    Cleared proposition{{"Proposicao", ""}};
    for (const std::string& field : countFields()) proposition.emplace_back(field, 0);

    store::Transaction tx(db);
    clearRows(db, kCadastro, 1, registration);
    clearRows(db, kFatores, -1, {{"Fator", ""}, {"Prop", ""}, {"Mi1", 0.0}, {"Mi2", 0.0}});
    for (int k = 1; k <= store::kFactorSlots; ++k)
        clearRows(db, store::propositionTable(k), store::kPropositionRows, proposition);
    tx.commit();
}

// ------------------------------------------------------------------ reference table

std::array<std::vector<core::Counts>, 4> ReadReferenceBlocks(store::Database& db) {
    const std::vector<std::string> fields = countFields();
    std::array<std::vector<core::Counts>, 4> blocks;
    for (int block = 1; block <= 4; ++block) {
        for (const store::Row& row :
             db.rowsFrom(kReferenceTable, fields, 20 * block - 19, kBlockRows)) {
            core::Counts& c = blocks[block - 1].emplace_back();
            for (int j = 0; j < store::kLikertPoints; ++j) c[j] = referenceCount(row, fields[j]);
        }
    }
    return blocks;
}

}  // namespace vpl::decision
