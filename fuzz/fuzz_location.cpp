// The location text of "Settings.ini": any text parses without undefined
// behaviour, writes back to itself, and fits a window onto the desktop.
#include "app/uFormLocation.h"

#include <QRect>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    TFormLocation Location;
    Location.SetText(Text);
    const std::string Written = Location.GetText();
    TFormLocation Again;
    Again.SetText(Written);
    if (Again.GetText() != Written)
        std::abort();

    if (Location.Valid) {
        const QRect Desktops[] = {QRect(0, 0, 1920, 1080), QRect(-1280, -200, 3200, 1280),
                                  QRect(2147480000, -2147480000, 1000, 1000)};
        for (const QRect& Desktop : Desktops) {
            const QRect Fitted =
                FitToDesktop(Location.Left, Location.Top, Location.Width, Location.Height, Desktop);
            if (!Desktop.contains(Fitted) && !Fitted.isEmpty())
                std::abort();
            if (Fitted.width() > Desktop.width() || Fitted.height() > Desktop.height())
                std::abort();
        }
        (void)FitToDesktop(Location.Left, Location.Top, Location.Width, Location.Height, QRect());
    }
    return 0;
}
