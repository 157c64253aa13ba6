#include "platform/qt/uQuitRequests.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

// A signal sent to the process reaches the program once, on its own thread,
// where ending it as a close of the window would is safe.
TEST(QuitRequests, EachSignalIsReportedOnceOnTheUserInterfaceThread)
{
    for (const int Signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(Signal);
        TQuitRequests Requests;
        int Reported = 0;
        bool OnItsThread = false;
        QObject::connect(&Requests, &TQuitRequests::QuitRequested, [&] {
            ++Reported;
            OnItsThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        });
        ASSERT_EQ(::raise(Signal), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Reported > 0; }, 5000));
        QTest::qWait(20);
        EXPECT_EQ(Reported, 1);
        EXPECT_TRUE(OnItsThread);
    }
}
