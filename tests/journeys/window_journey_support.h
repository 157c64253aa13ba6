// What the journeys about windows on the screen share: windows framed by the
// window manager, and the locations stored for them.
#pragma once

#include "journey_support.h"
#include "window_manager.h"

#include "forms/fSettings.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScreen>

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

    // The window manager shows W maximized, or no longer. Its state changes
    // before the window has its new size: both are waited for (a maximized
    // window is as wide as the screen, the windows here are narrower).
    static bool ShownMaximized(QWidget* W, bool Maximized)
    {
        return QTest::qWaitFor(
            [&] {
                return WindowStates(W).contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT")) == Maximized
                       && W->isMaximized() == Maximized
                       && (W->width() == W->screen()->availableGeometry().width()) == Maximized;
            },
            5000);
    }

    // The user maximizes W with its title bar's button, or restores it.
    static bool SetMaximized(QWidget* W, bool Maximized)
    {
        RequestMaximized(W, Maximized);
        return ShownMaximized(W, Maximized);
    }

    // Settings from the File menu: the captions box clicked, then Save.
    static void SwitchCaptions(bool Captions)
    {
        WhenModal([Captions](QWidget* Dialog) {
            ASSERT_EQ(Dialog, static_cast<QWidget*>(FormSettings));
            auto* Box = Dialog->findChild<QCheckBox*>(QStringLiteral("CB_ShowToolbarCaptions"));
            auto* Save = Dialog->findChild<QPushButton*>(QStringLiteral("BB_Save"));
            ASSERT_TRUE(Box && Save);
            ASSERT_NE(Box->isChecked(), Captions);
            // On the box itself, which stands on the right in a right-to-left window.
            const int X = Box->isRightToLeft() ? Box->width() - 8 : 8;
            QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(X, Box->height() / 2));
            ASSERT_EQ(Box->isChecked(), Captions);
            QTest::mouseClick(Save, Qt::LeftButton);
        });
        Parts(FormMain).ActionSettings->trigger();
    }
};

} // namespace journey
