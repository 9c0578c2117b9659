#pragma once

// The decision problem as the data file holds it, for every window, the report and the
// command line: the registration, the parameters, the factors with their propositions and
// counts, and the reference answer table. Each stored value is read by one rule here, and
// only this layer and the store know the file's tables and fields.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/counts.h"
#include "core/fixed4.h"
#include "core/language.h"
#include "core/likert_evidence.h"
#include "core/number_text.h"
#include "store/database.h"

namespace vpl::decision {

// Stored data that breaks a rule the program relies on: a count that is no whole number, a
// number of propositions that is no number. The store worked; the data needs mending.
class InvalidDataError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A stored number field as the program reads it: a number the engine holds, or a text
// that is a number by the user's locale; nothing for NULL or any other text.
std::optional<double> StoredNumber(const store::Value& value, core::NumberLocale locale);

// A stored value as a message quotes it: its text, or "Null".
std::string ShownValue(const store::Value& value);

// A number that is a whole count from 0 to `max`.
bool IsWholeCount(double n, double max);

// ------------------------------------------------------------------ parameters

// The factor count the analyses follow (Parametro.Fatores). A value that is not a number
// (NULL, a text that does not read as one) counts 4.
struct FactorCount {
    store::Value stored;
    double number = 4;
    // The analysis it opens: a whole count from 2 to 8; none for any other number.
    std::optional<int> analysed() const;
    // The count as the four-factor window reads it into a 16-bit integer: rounded half to
    // even, within the integer's range.
    std::int16_t asInteger() const;
    // The factors a report or an export of the count covers: 0 to 8.
    int factorsCovered() const;
};
FactorCount ReadFactorCount(store::Database& db, core::NumberLocale locale);

// The interface language as stored (Parametro.Idioma) and the file's own version.
struct Parameters {
    store::Key key = 0;
    store::Value factorCount;
    std::optional<double> language;  // Idioma when the engine holds a number
    std::string fileVersion;         // versaoBD
};
Parameters ReadParameters(store::Database& db);
std::optional<double> ReadStoredLanguage(store::Database& db);
void SaveLanguage(store::Database& db, store::Key parameters, core::Language language);

// ------------------------------------------------------------------ registration

// The question and the participants, each as stored: a NULL stays nothing.
struct Registration {
    std::optional<std::string> question;
    std::array<std::optional<std::string>, store::kParticipants> participants;
};
Registration ReadRegistration(store::Database& db);
// Writes the fields of `after` that differ from `before` (a NULL becomes an empty text), in
// one transaction resting on the file as read at `seenVersion`; nothing when none differs.
void SaveRegistration(store::Database& db, const Registration& before, const Registration& after,
                      std::int64_t seenVersion);
// The question as the analysis windows show it: NULL reads as empty.
std::string ReadQuestion(store::Database& db);

// The number of factors the Likert window offers (Cadastro.nFatores), as stored.
store::Value ReadOfferedFactors(store::Database& db);
// The same as a count from 0 to 8, when it is one.
std::optional<int> OfferedFactorCount(const store::Value& stored, core::NumberLocale locale);

// ------------------------------------------------------------------ factors

// A factor's number of propositions (Fatores.Prop), by the one rule every reader follows.
struct PropositionCount {
    enum class State {
        Missing,  // NULL or blanks: never entered (a delivered file before the factors window)
        Valid,    // a whole number from 0 to 99
        Invalid,  // anything else
    };
    State state = State::Missing;
    int count = 0;  // when valid
};
PropositionCount ReadPropositionCount(const store::Value& prop, core::NumberLocale locale);

struct Factor {
    int number = 0;      // 1 to 8: its row and its proposition table
    store::Value title;  // Fator
    store::Value prop;   // Prop
    store::Value mi1;    // the stored degrees of belief and disbelief
    store::Value mi2;
    // The title as shown: NULL reads as empty.
    std::string titleText() const { return title.toText().value_or(""); }
    PropositionCount propositionCount(core::NumberLocale locale) const;
    // The proposition rows the window shows: Prop's count, 4 when it was never entered;
    // InvalidDataError when it holds anything else.
    int rowsShown(core::NumberLocale locale) const;
    // Both degrees, when the engine holds numbers in both.
    std::optional<std::pair<double, double>> degrees() const;
};

// Factors 1 to `count`, as many as the file holds. An analysis reads only their degrees, so
// that it needs nothing else of the file.
enum class FactorFields { All, Degrees };
std::vector<Factor> ReadFactors(store::Database& db, int count,
                                FactorFields fields = FactorFields::All);
// StoreError when the file has no row for it.
Factor ReadFactor(store::Database& db, int number);

// ------------------------------------------------------------------ decision settings

// The requirement level that the degree of certainty is compared with (Parametro.Exigencia),
// in hundredths from 0 to 100, and each factor's weight (Fatores.Peso), a whole number from 1
// to 10. Files written before them lack both fields and read the defaults; the fields are
// added by the first save that sets a value other than the default.
inline constexpr int kDefaultRequirement = 50;
inline constexpr int kMaxRequirement = 100;
inline constexpr int kDefaultWeight = 1;
inline constexpr int kMinWeight = 1;
inline constexpr int kMaxWeight = 10;

// A stored setting that breaks its rule and is read as the default.
struct SettingProblem {
    int factor = 0;       // 0: the requirement level; 1 to 8: that factor's weight
    store::Value stored;  // as the file holds it
    bool operator==(const SettingProblem&) const = default;
};

struct DecisionSettings {
    int requirement = kDefaultRequirement;  // hundredths
    std::array<int, store::kFactorSlots> weights{kDefaultWeight, kDefaultWeight, kDefaultWeight,
                                                 kDefaultWeight, kDefaultWeight, kDefaultWeight,
                                                 kDefaultWeight, kDefaultWeight};
    std::vector<SettingProblem> problems;  // in the order above: the level, then factors 1 to 8
    // The level as degrees are compared.
    core::Fixed4 requirementLevel() const {
        return core::Fixed4::FromTicks(requirement * (core::Fixed4::kScale / kMaxRequirement));
    }
    // Whether the setting of `factor` (0: the level) was read as the default for a bad value.
    bool readAsDefault(int factor) const;
};

// The level is a number from 0 to 1 (a text that is one by the user's locale included),
// rounded to hundredths, halves away from zero, as the window shows it; a weight a whole
// number from 1 to 10. Anything else (NULL, another text, a number out of range, a fraction
// of a weight) reads as the default and is listed in `problems`. Writes nothing.
DecisionSettings ReadDecisionSettings(store::Database& db, core::NumberLocale locale);

// The factors window's save: the factor count (also the count the Likert window offers),
// the titles and proposition counts, the requirement level and the weights, each field only
// when it changed. A setting read as the default for a bad stored value is written whenever
// the form is saved, so that the file then holds what the window showed.
struct FactorsForm {
    std::string count;
    std::array<std::string, store::kFactorSlots> titles;
    std::array<std::string, store::kFactorSlots> props;
    DecisionSettings settings;
};
FactorsForm ReadFactorsForm(store::Database& db, core::NumberLocale locale = {});
// One transaction resting on the file as read at `seenVersion`; a setting's field missing from
// the file is added in it, only when the save writes that setting. A failure leaves the file
// as it was.
void SaveFactorsForm(store::Database& db, const FactorsForm& before, const FactorsForm& after,
                     std::int64_t seenVersion);

// ------------------------------------------------------------------ propositions

// One proposition as stored: its text (a NULL or a number stays as it is) and its five
// counts as the engine holds them, a fraction or a negative number included.
struct Proposition {
    store::Key key = 0;
    store::Value text;
    std::array<double, store::kLikertPoints> stored{};
    // A stored count that is no whole number of answers cannot be shown as one.
    bool readable(int point) const;
    // The counts, 0 for one that is not readable.
    core::Counts counts() const;
};

// The first `count` propositions of the factor; StoreError when the table has fewer, or a
// count is NULL or a text.
std::vector<Proposition> ReadPropositions(store::Database& db, int factor, int count);

// One key's write: the count of one proposition and, when they changed, the factor's
// degrees (written together, so that the file never holds counts and degrees that disagree), in one transaction resting on the file as read at `seenVersion`.
void SaveCount(store::Database& db, int factor, store::Key proposition, int point,
               std::int32_t count, const std::optional<core::StoredDegrees>& degrees,
               std::int64_t seenVersion);

// A proposition's changed fields: its text, and the counts that changed (by point).
struct PropositionChange {
    store::Key key = 0;
    std::optional<store::Value> text;
    std::vector<std::pair<int, std::int32_t>> counts;
};
// The Likert window's save: the changed propositions and, when given, the degrees.
void SavePropositions(store::Database& db, int factor, const std::vector<PropositionChange>& changes,
                      const std::optional<core::StoredDegrees>& degrees, std::int64_t seenVersion);

// Replaces the factor's propositions by these, in one transaction: their texts and counts,
// every row after them blank with no answers, the factor's Prop and the degrees of the
// counts. A failure leaves the file as it was.
struct NewProposition {
    std::string text;
    core::Counts counts{};
};
void ReplacePropositions(store::Database& db, int factor, const std::vector<NewProposition>& rows);

// Several factors replaced so, all in one transaction, each with its title when one is given.
struct FactorReplacement {
    int factor = 0;
    std::optional<std::string> title;
    std::vector<NewProposition> rows;
};
void ReplaceFactors(store::Database& db, const std::vector<FactorReplacement>& factors);

// Whether any of the factor's propositions has a text or an answer: what a replacement loses.
bool FactorHoldsData(store::Database& db, int factor);

// Every stored row of a factor that a replacement changes, as it stood, so that it can be
// put back.
struct FactorSnapshot {
    int factor = 0;
    std::vector<store::Row> rows;  // the propositions, then the factor's row
};
FactorSnapshot SnapshotFactor(store::Database& db, int factor);
// Puts the snapshot's rows back, in one transaction, unless another program has written to
// the file since `seenVersion` (then ChangedElsewhere).
void RestoreFactor(store::Database& db, const FactorSnapshot& snapshot, std::int64_t seenVersion);

// Wipes the decision problem to start a new one: the question, department and participants,
// every factor (title, proposition count, degrees) and propositions 1 to 99 of each factor.
// The parameters, the offered factor count and the reference table keep their values, and so
// does any row past the 99th. One transaction.
void ClearDecision(store::Database& db);

// ------------------------------------------------------------------ reference table

// The four blocks of answer counts of the reference table that the family windows analyse:
// block i is the row with key 20 i - 19 and the 18 rows after it. InvalidDataError on a
// count that is not a whole number of answers.
std::array<std::vector<core::Counts>, 4> ReadReferenceBlocks(store::Database& db);

}  // namespace vpl::decision
