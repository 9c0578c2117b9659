#include "core/language.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string_view>

#include "core/translated.h"

namespace vpl::core {
namespace {

TEST(Language, OnlyTheThreeStoredNumbersNameALanguage) {
    const struct {
        std::optional<double> stored;
        Language language;
    } cases[] = {
        {1, Language::English},     {2, Language::Spanish},
        {3, Language::Portuguese},  {std::nullopt, Language::Portuguese},
        {0, Language::Portuguese},  {1.5, Language::Portuguese},
        {-1, Language::Portuguese}, {4, Language::Portuguese},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageFromStored(c.stored), c.language) << c.stored.value_or(-99);
}

TEST(Translated, EachLanguageReadsItsOwnColumnAndNoneReadsPortuguese) {
    const Translated text{"k", "pt", "en", "es"};
    const struct {
        Language language;
        std::string_view shown;
    } cases[] = {{Language::Portuguese, "pt"},
                 {Language::English, "en"},
                 {Language::Spanish, "es"},
                 {Language::None, "pt"}};
    for (const auto& c : cases) EXPECT_EQ(TextIn(text, c.language), c.shown);
}

TEST(Translated, LookupFindsTheKeyOrThrows) {
    const Translated table[] = {{"a", "pa", "ea", "sa"}, {"b", "pb", "eb", "sb"}};
    EXPECT_EQ(Lookup(table, "b").pt, std::string_view("pb"));
    EXPECT_THROW(Lookup(table, "c"), std::out_of_range);
}

}  // namespace
}  // namespace vpl::core
