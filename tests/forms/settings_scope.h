// Window tests need the program's one settings object; this installs a
// fresh one with the defaults for as long as it lives.
#pragma once

#include "app/uSettings.h"

class TSettingsScope {
public:
    TSettingsScope() : FPrevious(Settings)
    {
        FSettings.Reset();
        Settings = &FSettings;
    }
    ~TSettingsScope() { Settings = FPrevious; }
    TSettingsScope(const TSettingsScope&) = delete;
    TSettingsScope& operator=(const TSettingsScope&) = delete;

    TSettings* operator->() { return &FSettings; }

private:
    TSettings FSettings;
    TSettings* FPrevious;
};
