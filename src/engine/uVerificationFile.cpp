#include "engine/uVerificationFile.h"

SORVIK_RESOURCESTRING(uverificationfile, sverifyformatsfv, "Simple file verification (SFV)");
SORVIK_RESOURCESTRING(uverificationfile, sverifyformatsum, "Sum file (MD5SUM, SHA1SUM, etc)");
SORVIK_RESOURCESTRING(uverificationfile, snotsupportedverificationformat,
                      "Not supported verification format (%d)");

const char* const VerifyFormatNames[VerifyFormatCount] = {"", "SFV", "SUM"};

std::string VerifyFormatToName(TVerifyFormat Format)
{
    const int I = static_cast<int>(Format);
    return I >= 0 && I < VerifyFormatCount ? VerifyFormatNames[I] : "";
}

TVerifyFormat NameToVerifyFormat(const std::string& Name)
{
    for (int I = 0; I < VerifyFormatCount; ++I)
        if (Name == VerifyFormatNames[I])
            return static_cast<TVerifyFormat>(I);
    return vfNone;
}

std::string VerifyFormatCaption(TVerifyFormat Format)
{
    switch (Format) {
    case vfSFV: return sverifyformatsfv;
    case vfSUM: return sverifyformatsum;
    default: return {};
    }
}
