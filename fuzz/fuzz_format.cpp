// Translated texts formatted with the program's arguments: whatever a
// translation holds, formatting reads only the arguments it is given, and
// an accepted translation reads the same ones as the English.
#include "platform/uResourceStrings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    // "English\0translation": the part before the first NUL is the English.
    const std::size_t Cut = Input.find('\0');
    const std::string English = Cut == std::string::npos ? Input : Input.substr(0, Cut);
    const std::string Translation = Cut == std::string::npos ? Input : Input.substr(Cut + 1);

    (void)FormatPlaceholders(Translation);
    const std::string Out = FormatText(Translation, {"<a>", "<b>"});
    (void)FormatText(Translation, {});
    if (SamePlaceholders(English, Translation) != SamePlaceholders(Translation, English))
        std::abort();
    if (!SamePlaceholders(Translation, Translation))
        std::abort();
    (void)Out;
    return 0;
}
