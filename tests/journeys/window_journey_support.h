// What the journeys about windows on the screen share: windows framed by the
// window manager, and the locations stored for them.
#pragma once

#include "journey_support.h"
#include "window_manager.h"

#include <regex>
#include <string>

namespace journey {

class TWindowJourney : public TJourney {
protected:
    void SetUp() override { ASSERT_TRUE(TWindowManager::Running()); }

    // Shown and framed by the window manager.
    static bool Framed(QWidget* W)
    {
        return QTest::qWaitForWindowExposed(W)
               && QTest::qWaitFor([W] { return FrameBounds(W) != W->geometry(); }, 5000);
    }

    // The bounds stored under [Location] for Key.
    std::string StoredLocation(const char* Key) const
    {
        const std::string Ini = ReadAll(SettingsFile());
        std::smatch M;
        if (!std::regex_search(Ini, M, std::regex(std::string("\n") + Key + "=([^\r\n]*)")))
            return {};
        return M[1];
    }

    static std::string LocationText(const QRect& R, int State = 0)
    {
        return "1," + std::to_string(R.x()) + "," + std::to_string(R.y()) + "," + std::to_string(R.width()) + ","
               + std::to_string(R.height()) + "," + std::to_string(State);
    }

    // The user closes the main window with the title bar's close button.
    int CloseByWindowManager()
    {
        return CloseWith([] { RequestClose(FormMain); });
    }
};

} // namespace journey
