// Small text helpers shared by the engine and the windows: string queues,
// text encodings, and the size, speed and count texts.
#pragma once

#include "platform/uResourceStrings.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

extern TResourceString ssizeinbytes;
extern TResourceString ssizebytes;
extern TResourceString ssizekb;
extern TResourceString ssizemb;
extern TResourceString ssizegb;
extern TResourceString sspeedpersecbytes;
extern TResourceString sspeedperseckb;
extern TResourceString sspeedpersecmb;
extern TResourceString sspeedpersecgb;

// One string in an object: a queue item and a notification payload.
class TStringObject {
public:
    explicit TStringObject(std::string AText) : Text(std::move(AText)) {}
    std::string Text;
};

// First-in first-out queue of strings. Not locked: a queue shared between
// threads is wrapped by its owner (TFileQueue).
class TStringQueue {
public:
    void Push(std::string S);
    // False and an empty S when the queue is empty.
    bool Pop(std::string& S);
    int Count() const { return static_cast<int>(Items.size()); }
    void Clear() { Items.clear(); }

private:
    // Newest at the front, oldest at the back.
    std::deque<TStringObject> Items;
};

enum TTextEncoding { teUTF8 = 0, teUnicode = 1, teANSI = 2 };

// Turns UTF-8 Text into the bytes of Encoding; returns the text as it reads
// after the conversion. Ill-formed UTF-8 decodes as U+FFFD.
std::string EncodeText(const std::string& Text, TTextEncoding Encoding, std::string& Bytes);

// N in decimal with Separator before every group of three digits from the right.
std::string IntToStrSep(std::int64_t N, std::string_view Separator);
// "%s bytes" with the count grouped by ",", whatever the regional settings.
std::string FormatSizeInBytes(std::int64_t N);

// Short texts with binary units and the regional separators; empty for a
// negative value.
std::string FormatSize(std::int64_t N);
std::string FormatSpeed(double BytesPerSecond);

// The separators FormatSize and FormatSpeed use: the user's, read on first
// use; SetNumberSeparators replaces them (tests, or a start-up that reads
// them itself).
struct TNumberSeparators;
const TNumberSeparators& NumberSeparators();
void SetNumberSeparators(const TNumberSeparators& Separators);

// Appends the non-empty pieces of Text between any of the Separators
// characters to List; nothing is trimmed.
void SplitText(std::string_view Text, std::string_view Separators, std::vector<std::string>& List);

// The value of the hexadecimal digit C (either case), or -1.
int HexValue(char C);
