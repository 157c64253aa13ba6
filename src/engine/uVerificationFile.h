// Verification files: the log of hashed files written as SFV or SUM lines.
#pragma once

#include "digest/uException.h"
#include "platform/uResourceStrings.h"

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
