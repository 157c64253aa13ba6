// Verification files: the log of hashed files written as SFV or SUM lines.
#pragma once

#include "digest/uException.h"
#include "engine/uSorvik.h"
#include "platform/uResourceStrings.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

enum TVerifyFormat { vfNone = 0, vfSFV = 1, vfSUM = 2 };

inline constexpr int VerifyFormatCount = 3;

extern TResourceString sverifyformatsfv;
extern TResourceString sverifyformatsum;
extern TResourceString snotsupportedverificationformat;

// The stored names ("" / "SFV" / "SUM"), as the settings keep them.
extern const char* const VerifyFormatNames[VerifyFormatCount];

std::string VerifyFormatToName(TVerifyFormat Format);
// Exact, case-sensitive match; vfNone when nothing matches.
TVerifyFormat NameToVerifyFormat(const std::string& Name);
// The display caption in the current translation ("" for vfNone).
std::string VerifyFormatCaption(TVerifyFormat Format);

SORVIK_EXCEPTION_CLASS(ETVerificationError, Exception);

// ---------------------------------------------------------------------------
// The writer

// Supplies the next record to write; false when there are no more.
using TNextHashFileEvent = std::function<bool(std::shared_ptr<THashFile>& Item)>;

// The bare host name the header line names.
inline constexpr const char* SorvikWebHost = "sorvik.example.org";

class TVerificationWriter {
public:
    // htNone: for each file, its digest of the lowest-numbered type.
    THashType HashType = htNone;
    TVerifyFormat VerifyFormat = vfNone;
    // False writes only the file-name part of each path.
    bool UseFullPath = false;
    TNextHashFileEvent OnNextItem;
    bool UpperCaseHash = false;

    // Writes a temporary file beside the file FileName names (through any
    // symbolic links) and renames it over that file once complete, with the
    // old file's mode and, where permitted, its owner: a failed save leaves
    // the previous file whole. A file the user may not write is refused as
    // creating it would be; a writable file in a folder that takes no new
    // file, and a device or FIFO, are written in place.
    // ETVerificationError (before anything is created) for an unknown
    // layout; EFCreateError or EWriteError when the file cannot be written.
    void SaveToFile(const std::string& FileName);
    void SaveToStream(std::ostream& Stream);
    // Text and CR LF in one write; EWriteError when the stream fails.
    static void WriteLine(std::ostream& Stream, const std::string& Text);

    std::string GetHeader() const;
    std::string GetLine(const THashFile& Item) const;
    std::string GetFileName(const THashFile& Item) const;
    std::string GetHashText(const THashFile& Item) const;

    // The date and time the header names; the current local time unless set.
    std::function<std::string()> DateTimeText;
};
