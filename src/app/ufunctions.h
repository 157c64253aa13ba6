// Small helpers the windows share: the Shift and Ctrl keys, status-bar panel
// hit-testing, opening a path or web address, and two rectangle helpers.
#pragma once

#include "platform/uResourceStrings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QRect;
class QWidget;

extern TResourceString sshellopenfileerror;

// Left, top, right, bottom; right and bottom lie just outside (unlike QRect).
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    QRect ToQRect() const;
    bool operator==(const TRect&) const = default;
};

bool IsShiftDown();
bool IsCtrlDown();

// Index of the panel at X in a bar of the given size whose panels have the
// given widths from the left; -1 outside the bar or right of the last panel.
int32_t StatusPanelAt(int32_t BarWidth, int32_t BarHeight, const std::vector<int32_t>& PanelWidths,
                      int32_t X, int32_t Y);
int32_t StatusPanelAt(const QWidget& Bar, const std::vector<int32_t>& PanelWidths, int32_t X, int32_t Y);
int32_t StatusPanelUnderCursor(const QWidget& Bar, const std::vector<int32_t>& PanelWidths);

// Asks the desktop to open the path with its default handler.
bool OpenPath(const std::string& Path);
// OpenPath, and on failure the warning box naming the path.
bool ShellOpen(const std::string& Path);

TRect MakeRect(int32_t W, int32_t H);
// Moves Inner, keeping its size, so that it stands centred in Outer.
void CenterRect(TRect& Inner, const TRect& Outer);
