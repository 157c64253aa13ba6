// Translatable program texts. Each unit declares its texts once with
// SORVIK_RESOURCESTRING; a loaded translation replaces their current text
// before any window exists. Qt-free, so the engine can declare its own.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TResourceString {
public:
    // UnitName and Name form the identifier "unitname.name" (lower case),
    // the key a translation file gives for the text.
    TResourceString(const char* UnitName, const char* Name, const char* DefaultText);
    TResourceString(const TResourceString&) = delete;
    TResourceString& operator=(const TResourceString&) = delete;
    ~TResourceString();

    const std::string& Text() const { return FText; }
    operator const std::string&() const { return FText; }
    const std::string& DefaultText() const { return FDefault; }
    const std::string& UnitName() const { return FUnit; }
    const std::string& Identifier() const { return FIdentifier; }

    void SetText(std::string Text) { FText = std::move(Text); }
    void Restore() { FText = FDefault; }

private:
    std::string FUnit;
    std::string FIdentifier;
    std::string FDefault;
    std::string FText;
};

// Declares (in a header: extern) or defines (in the unit's .cpp) one text.
#define SORVIK_RESOURCESTRING(Unit, Name, Text) TResourceString Name{#Unit, #Name, Text}

// Every text of the program that is linked in, in no particular order.
void ForEachResourceString(const std::function<void(TResourceString&)>& Action);

// The format placeholders of a text in order ("%s", "%d", "%1:s", ... as
// conversion letters with their optional index); "%%" is no placeholder.
std::vector<std::string> FormatPlaceholders(const std::string& Text);

// True when a translation may replace Original: once every placeholder's
// argument index is made explicit, both read the same arguments as the same
// kinds, in any order.
bool SamePlaceholders(const std::string& Original, const std::string& Translation);

// Replaces each placeholder of Fmt by the next argument (or, with an index,
// by that argument), "%%" by "%". A placeholder without an argument becomes
// empty: formatting never reads past the arguments given.
std::string FormatText(const std::string& Fmt, std::initializer_list<std::string> Args);
