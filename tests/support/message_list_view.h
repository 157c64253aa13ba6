// Whether the main window's message list shows what the user should see.
#pragma once

#include "forms/uMessageList.h"

#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

// The list is scrolled to its end and its newest line is whole from top to
// bottom (a long line may run on to the right) once its layout is done, and
// still a moment later.
inline ::testing::AssertionResult ShowsNewestLine(const TMessageList& List, int Timeout = 10000)
{
    const QScrollBar* Bar = List.verticalScrollBar();
    const auto InView = [&] {
        if (List.count() == 0)
            return false;
        const QRect Line = List.visualItemRect(List.item(List.count() - 1));
        return Bar->maximum() > 0 && Bar->value() == Bar->maximum() && Line.top() >= 0
               && Line.bottom() < List.viewport()->height();
    };
    const bool Reached = QTest::qWaitFor(InView, Timeout);
    QTest::qWait(200);
    if (Reached && InView())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (Reached ? "left" : "never reached") << " the newest line: at "
                                         << Bar->value() << " of " << Bar->maximum();
}
