// INI text of our own: QSettings would read "1,120,80" back as a list, quote
// values and treat [General] specially, so the file would not be ours.
#pragma once

#include <map>
#include <optional>
#include <string>

// Reading rules: a UTF-8 byte-order mark is dropped; a text with a UTF-16
// byte-order mark (FF FE or FE FF) is read as UTF-16; lines end in LF, CR LF
// or CR; blanks and tabs around section names, key names and values are
// ignored (Text keeps those of a value); lines starting with ";" or "#", lines without "=", and keys before
// the first section are skipped; section and key names match without regard
// to (ASCII) case; a repeated key keeps its first value; quotes are part of a
// value; a final "\" does not continue a line.
class TIniReader {
public:
    explicit TIniReader(const std::string& Bytes);

    // The value, or nothing when the key is missing (an empty value is not).
    std::optional<std::string> Value(const std::string& Section, const std::string& Key) const;
    // The value exactly as written after "=", blanks and tabs included: a
    // text setting may begin or end with them.
    std::optional<std::string> Text(const std::string& Section, const std::string& Key) const;

private:
    struct TEntry {
        std::string Value;
        std::string Text;
    };
    std::map<std::string, TEntry> FValues;
};

// Writes sections in the order given, one empty line between two, one
// "key=value" line per key with no blanks and no quoting, every line ended
// with the system's own TextLineBreak (platform/uPlatformFiles.h).
class TIniWriter {
public:
    void Section(const std::string& Name);
    // A line break inside a value would start a new key: the value ends at it.
    void Value(const std::string& Key, const std::string& Value);
    const std::string& Text() const { return FText; }

private:
    std::string FText;
};

