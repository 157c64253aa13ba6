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

TEST(ResourceStrings, SamePlaceholdersComparesOrderAndKind)
{
    EXPECT_TRUE(SamePlaceholders("%s bytes", "%s Bytes"));
    EXPECT_TRUE(SamePlaceholders("No placeholder", "Kein Platzhalter"));
    EXPECT_FALSE(SamePlaceholders("%s bytes", "Bytes"));
    EXPECT_FALSE(SamePlaceholders("%s bytes", "%s %s Bytes"));
    EXPECT_FALSE(SamePlaceholders("%d of %s", "%s von %d"));
    EXPECT_FALSE(SamePlaceholders("Done", "Fertig %s"));
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
