#include "uLanguageTemplate.h"

int BuildEveryWindow(const std::function<void()>& WhileBuilt)
{
    if (WhileBuilt)
        WhileBuilt();
    return 0;
}
