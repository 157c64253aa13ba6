// Stands in for the desktop's default handler while it lives: records every
// URL it is given and answers with Answer, so tests never start a program.
#pragma once

#include "platform/qt/uPlatformShell.h"

#include <vector>

class TRecordedOpener {
public:
    TRecordedOpener()
        : FPrevious(SetUrlOpener([this](const QUrl& Url) {
              Opened.push_back(Url);
              return Answer;
          }))
    {
    }
    ~TRecordedOpener() { SetUrlOpener(FPrevious); }
    TRecordedOpener(const TRecordedOpener&) = delete;
    TRecordedOpener& operator=(const TRecordedOpener&) = delete;

    std::vector<QUrl> Opened;
    bool Answer = true;

private:
    TUrlOpener FPrevious;
};
