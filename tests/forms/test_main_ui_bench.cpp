// How much of the user-interface thread the worker's messages cost while a
// large file is hashed. A measurement for bench/README.md, not a timed
// test: it runs only when SORVIK_UI_BENCH names the file size in MiB;
// SORVIK_UI_BENCH_TYPES may name the hash types (all ten by default).
#include "main_window_support.h"

#include <QEventLoop>
#include <QProgressBar>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

using namespace maintest;

namespace {

double ThreadCpuSeconds()
{
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) / 1e9;
}

} // namespace

TEST(MainWindowUiShare, UserInterfaceThreadShareWhileHashing)
{
    const int MiB = qEnvironmentVariableIntValue("SORVIK_UI_BENCH");
    if (MiB <= 0)
        GTEST_SKIP() << "set SORVIK_UI_BENCH to a size in MiB to measure";
    TTempFolder T;
    const auto Path = T.Path() / "big.bin";
    {
        std::ofstream Out(Path, std::ios::binary);
        std::string Chunk(1 << 20, '\0');
        for (int I = 0; I < MiB; ++I) {
            Chunk[0] = static_cast<char>(I);
            Out << Chunk;
        }
    }
    // Read once so that the file comes from the page cache.
    { std::ifstream In(Path, std::ios::binary); std::vector<char> B(1 << 20); while (In.read(B.data(), B.size())) {} }

    const QString TypeNames = qEnvironmentVariable("SORVIK_UI_BENCH_TYPES");
    const THashTypes Types = TypeNames.isEmpty() ? AllHashTypes() : StringToHashTypes(TypeNames.toStdString());
    TMainWindowFixture M(Types);
    M.Form->show();
    // The first paint is not part of the figure.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    QTest::qWait(300);
    QEventLoop Loop;
    QTimer Poll;
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        M.Access().UpdateActions();
        if (FileQueue->Count() == 0 && !M.Access().IsWorkerBusy() && M.Ui.ActionClearLog->isEnabled()
            && M.Access().FileList().Count() == 1)
            Loop.quit();
    });
    const double Cpu0 = ThreadCpuSeconds();
    const auto Wall0 = std::chrono::steady_clock::now();
    const auto Handled0 = M.Access().WorkerMessagesHandled();
    M.Access().AddPaths({Q(Path.string())});
    Poll.start(100);
    Loop.exec();
    const double Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - Wall0).count();
    const double Cpu = ThreadCpuSeconds() - Cpu0;
    const auto Handled = M.Access().WorkerMessagesHandled() - Handled0;
    std::printf("file %d MiB, %s: %.1f s, %.1f MiB/s\n", MiB, HashTypesToString(Types).c_str(), Wall, MiB / Wall);
    std::printf("messages taken by the window: %llu (%.1f per second); left out as repeats: %llu\n",
                static_cast<unsigned long long>(Handled), static_cast<double>(Handled) / Wall,
                static_cast<unsigned long long>(M.Access().WorkerMessagesCoalesced()));
    std::printf("user-interface thread: %.3f s of CPU, %.2f %% of one core\n", Cpu, 100.0 * Cpu / Wall);
    EXPECT_EQ(M.Ui.ProgressBar->value(), 100);
}
