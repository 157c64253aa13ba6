// What keeps the main window responsive while many small files are hashed.
#include "main_window_support.h"

#include <QProgressBar>

#include <gtest/gtest.h>

using namespace maintest;

namespace {

class TPaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(Watched, Event);
    }
};

} // namespace

// A visible change of a QProgressBar repaints it at once and flushes the
// window; with small files that happened twice per file and the window fell
// behind the worker. The bar is painted with the rest when the loop is idle.
TEST(MainResponsiveness, ProgressIsPaintedWhenTheLoopIsIdleNotAtOnce)
{
    TMainWindowFixture F;
    F.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(F.Form.get()));
    QCoreApplication::processEvents();
    TPaintCounter Counter;
    F.Form->ProgressBar->installEventFilter(&Counter);
    for (int Percent : {0, 100, -1, 100}) {
        F.Form->SetProgress(Percent);
        EXPECT_EQ(Counter.Paints, 0) << "painted synchronously at " << Percent << " %";
    }
    EXPECT_EQ(F.Form->ProgressBar->value(), 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Counter.Paints > 0; }, 2000)) << "the change is still painted";
    F.Form->ProgressBar->removeEventFilter(&Counter);
}
