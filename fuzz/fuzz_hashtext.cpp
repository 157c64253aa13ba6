// Hash-type names and digest texts typed, pasted or stored: the helpers
// never fault and keep their round trips.
#include "engine/uSorvik.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);

    const THashTypes Types = StringToHashTypes(Text);
    const THashTypes Known = Types & AllHashTypes();
    if (StringToHashTypes(HashTypesToString(Known)) != Known)
        std::abort();
    const THashType Named = NameToHashType(Text);
    if (Named != htNone && HashTypeToName(Named) != Text)
        std::abort();

    const std::string Stripped = StripBlanks(Text);
    const std::string Upper = CaseHash(Text, true);
    const std::string Lower = CaseHash(Text, false);
    if (Upper.size() != Text.size() || Lower.size() != Text.size())
        std::abort();
    if (!SameHash(Upper, Lower) || !SameHash(Text, Text))
        std::abort();

    THashList List;
    List.Put(htMD5, std::string(Stripped));
    List.Put(htCRC32, "E8B7BE43");
    (void)List.FindType(Text);
    if (Size >= 2) {
        THashList Other;
        Other.Put(htMD5, std::string(Text.substr(Size / 2)));
        THashTypes Matched = 0, Mismatched = 0;
        (void)List.Compare(Other, Matched, Mismatched);
    }
    return 0;
}
