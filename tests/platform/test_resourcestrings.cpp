#include "platform/uResourceStrings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SORVIK_RESOURCESTRING(uTestUnit, sGreeting, "Hello %s");

TResourceString* FindByIdentifier(const std::string& Id)
{
    TResourceString* Found = nullptr;
    ForEachResourceString([&](TResourceString& S) {
        if (S.Identifier() == Id)
            Found = &S;
    });
    return Found;
}

} // namespace

TEST(ResourceStrings, RegisteredUnderLowerCaseIdentifier)
{
    TResourceString* S = FindByIdentifier("utestunit.sgreeting");
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(S, &sGreeting);
    EXPECT_EQ(S->UnitName(), "utestunit");
    S->SetText("Hallo %s");
    EXPECT_EQ(sGreeting.Text(), "Hallo %s");
    EXPECT_EQ(sGreeting.DefaultText(), "Hello %s");
    S->Restore();
    EXPECT_EQ(std::string(sGreeting), "Hello %s");
}

TEST(ResourceStrings, LeavesTheRegistryWhenDestroyed)
{
    {
        TResourceString Local("uTestUnit", "sLocal", "x");
        EXPECT_NE(FindByIdentifier("utestunit.slocal"), nullptr);
    }
    EXPECT_EQ(FindByIdentifier("utestunit.slocal"), nullptr);
}

TEST(ResourceStrings, PlaceholderSignatures)
{
    struct Case {
        const char* Text;
        std::vector<std::string> Expected;
    };
    const Case Cases[] = {
        {"plain", {}},
        {"%s bytes", {"s"}},
        {"Result: %d out of %d available hashes matched.", {"d", "d"}},
        {"100%% done", {}},
        {"50% off", {}},                 // "% o" is no placeholder
        {"%-10.2f|%5d|%.*s", {"f", "d", "s"}},
        {"%1:s then %0:s", {"1:s", "0:s"}},
        {"%S and %D", {"s", "d"}},
        {"trailing %", {}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FormatPlaceholders(C.Text), C.Expected) << C.Text;
}

// A translation may reorder and index its arguments; once every index is
// explicit it must read the same arguments as the same kinds.
TEST(ResourceStrings, SamePlaceholdersComparesArgumentsAndKinds)
{
    const struct {
        const char* Original;
        const char* Translation;
        bool Same;
    } Cases[] = {
        {"%s bytes", "%s Bytes", true},
        {"No placeholder", "Kein Platzhalter", true},
        {"%s of %s", "%1:s de %0:s", true},
        {"Result: %d out of %d", "Ergebnis: %1:d von %0:d", true},
        {"Result: %d out of %d", "Ergebnis: %0:d von %d", true},    // %d after %0: reads 1
        {"%s of %s", "%1:s de %s", false},                           // %s after %1: reads 2
        {"%s and %d", "%1:d und %0:s", true},
        {"%s and %d", "%1:s und %0:d", false},                       // kinds swapped
        {"%d of %s", "%s von %d", false},
        {"%s bytes", "Bytes", false},
        {"%s bytes", "%s %s Bytes", false},
        {"%s bytes", "%1:s Bytes", false},                           // an argument not given
        {"Done", "Fertig %s", false},
        {"%5.2f%%", "%0:5.2f %%", true},
        {"%s", "%0:s %0:s", true},                                   // reading one twice is harmless
    };
    for (const auto& C : Cases)
        EXPECT_EQ(SamePlaceholders(C.Original, C.Translation), C.Same) << C.Original << " / " << C.Translation;
    EXPECT_EQ(FormatText("%1:s de %0:s", {"3", "5"}), "5 de 3");
}

TEST(ResourceStrings, FormatTextNeverReadsMissingArguments)
{
    EXPECT_EQ(FormatText("%s bytes", {"1,024"}), "1,024 bytes");
    EXPECT_EQ(FormatText("Result: %d out of %d", {"3", "5"}), "Result: 3 out of 5");
    EXPECT_EQ(FormatText("%s and %s", {"a"}), "a and ");
    EXPECT_EQ(FormatText("%s", {}), "");
    EXPECT_EQ(FormatText("%1:s/%0:s", {"a", "b"}), "b/a");
    EXPECT_EQ(FormatText("%9:s!", {"a"}), "!");
    EXPECT_EQ(FormatText("100%% of 50% off", {}), "100% of 50% off");
}
