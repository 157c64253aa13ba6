// Letter case of ASCII digest texts, whatever the locale: shared by the
// digest-text functions and TDigestTexts.
#pragma once

constexpr char UpperASCII(char C) { return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C; }
constexpr char LowerASCII(char C) { return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C; }
