#include "uLanguageTemplate.h"

#include "app/uSettings.h"
#include "forms/fAbout.h"
#include "forms/fCompare.h"
#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"
#include "forms/fSaveLog.h"
#include "forms/fSettings.h"
#include "forms/fText.h"

#include <memory>
#include <vector>

int BuildEveryWindow(const std::function<void()>& WhileBuilt)
{
    TSettings Defaults;
    Defaults.Reset();
    TSettings* Previous = Settings;
    Settings = &Defaults;
    std::vector<std::unique_ptr<QWidget>> Windows;
    Windows.emplace_back(std::make_unique<TFormText>());
    Windows.emplace_back(std::make_unique<TFormLogViewer>());
    Windows.emplace_back(std::make_unique<TFormCompare>());
    Windows.emplace_back(std::make_unique<TFormCompareFiles>());
    Windows.emplace_back(std::make_unique<TFormSaveLog>());
    Windows.emplace_back(std::make_unique<TFormSettings>());
    Windows.emplace_back(std::make_unique<TFormAbout>());
    if (WhileBuilt)
        WhileBuilt();
    const int Count = static_cast<int>(Windows.size());
    Windows.clear();
    Settings = Previous;
    return Count;
}
