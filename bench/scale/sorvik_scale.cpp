// The whole program at the scale users bring, run in process through the
// same main sequence as main(), on the real message loop. Prints figures; it
// asserts nothing about time.
//
//   sorvik_scale make-folder DIR COUNT SIZE   files of SIZE bytes in DIR
//   sorvik_scale folder DIR TYPES             add DIR on the command line,
//                                             hash, show and export the log
//   sorvik_scale file PATH TYPES              hash one file, print its row
//   sorvik_scale memory DIR TYPES             add DIR, hash, then Clear Log:
//                                             peak and resident memory
//   sorvik_scale empty - TYPES                the program with nothing added
//   sorvik_scale failing COUNT TYPES          COUNT files that vanished after
//                                             they were queued: each fails
//
// TYPES is the "HashTypes" text of the settings, e.g. "MD5,SHA256".
#include "app/uSettings.h"
#include "app/uUserInteraction.h"
#include "app/ufunctions.h"
#include "forms/fLogViewer.h"
#include "forms/fMain.h"
#include "forms/fSaveLog.h"
#include "forms/uForms.h"
#include "program/uMainSequence.h"
#include "platform/qt/uPlatformShell.h"
#include "support/main_parts.h"
#include "support/main_window_access.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

double ThreadCpuSeconds()
{
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) / 1e9;
}

double ProcessCpuSeconds()
{
    timespec T{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) / 1e9;
}

long PeakMemoryKiB()
{
    rusage U{};
    getrusage(RUSAGE_SELF, &U);
    return U.ru_maxrss;
}

// A field of /proc/self/status in KiB: VmHWM (peak resident), VmRSS.
long StatusKiB(const char* Field)
{
    std::ifstream Status("/proc/self/status");
    std::string Line;
    const std::string Prefix = std::string(Field) + ":";
    while (std::getline(Status, Line))
        if (Line.compare(0, Prefix.size(), Prefix) == 0)
            return std::stol(Line.substr(Prefix.size()));
    return -1;
}

int MakeFolder(const fs::path& Dir, long Count, long Size)
{
    // 100 files per sub-folder, as a photo or source tree would have them.
    std::mt19937 Random(7);
    std::string Buffer(static_cast<std::size_t>(Size), '\0');
    for (long I = 0; I < Count; ++I) {
        const fs::path Sub = Dir / ("d" + std::to_string(I / 100));
        if (I % 100 == 0)
            fs::create_directories(Sub);
        for (char& C : Buffer)
            C = static_cast<char>(Random());
        std::ofstream(Sub / ("f" + std::to_string(I) + ".bin"), std::ios::binary) << Buffer;
    }
    return 0;
}

long CountFiles(const fs::path& P)
{
    if (fs::is_regular_file(P))
        return 1;
    long N = 0;
    for (const auto& E : fs::recursive_directory_iterator(P))
        if (E.is_regular_file())
            ++N;
    return N;
}

// The user-interface thread's responsiveness: a 10 ms timer and how late it
// comes. A late tick means the loop was busy with something else.
class TStallMeter {
public:
    TStallMeter()
    {
        FTimer.setTimerType(Qt::PreciseTimer);
        FTimer.setInterval(Interval);
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            const qint64 Now = FClock.nsecsElapsed();
            const double LateMs = static_cast<double>(Now - FLast) / 1e6 - Interval;
            FLast = Now;
            if (!Counting) {
                StartLongest = std::max(StartLongest, LateMs);
                return;
            }
            if (LateMs > Longest)
                Longest = LateMs;
            if (LateMs > 100)
                ++Over100;
            if (LateMs > 50)
                ++Over50;
            ++Ticks;
        });
        FClock.start();
        FLast = 0;
        FTimer.start();
    }
    static constexpr int Interval = 10;
    // Start-up (windows built and shown, the command line read) is counted
    // apart from the hashing that follows.
    bool Counting = false;
    double StartLongest = 0;
    double Longest = 0;
    long Over100 = 0;
    long Over50 = 0;
    long Ticks = 0;

private:
    QTimer FTimer;
    QElapsedTimer FClock;
    qint64 FLast = 0;
};

struct TRun {
    fs::path ProgramFolder;
    QString Path;
    QString Types;
    long Expected = 0;
    // Nothing added: the figures come a second after the start.
    bool Empty = false;
    // Paths of files that are gone, queued as the folder search would.
    long Missing = 0;
};

// Drives the program through steps on its own message loop: each step runs
// from a timer once the one before is done.
int RunProgram(const TRun& R, const std::function<void()>& AtIdle)
{
    fs::create_directories(R.ProgramFolder);
    std::ofstream(R.ProgramFolder / "Settings.ini") << "[General]\nHashTypes=" << R.Types.toStdString() << "\n";
    // Warnings are written out instead of waiting for a click.
    struct TPrintedBoxes : TUserInteraction {
        void WarningBox(const QString& T) override { std::fprintf(stderr, "warning box: %s\n", T.toStdString().c_str()); }
    };
    static TPrintedBoxes Boxes;
    SetUserInteraction(&Boxes);

    const long MemBefore = PeakMemoryKiB();
    QElapsedTimer Wall;
    Wall.start();
    const double UiCpu0 = ThreadCpuSeconds();
    const double Cpu0 = ProcessCpuSeconds();

    TSorvikProgram Program(R.Empty || R.Missing > 0 ? QStringList() : QStringList{R.Path},
                           (R.ProgramFolder / "sorvik").string());
    Program.Start();
    for (long I = 0; I < R.Missing; ++I)
        FileQueue->Push((R.ProgramFolder / "gone" / ("f" + std::to_string(I) + ".bin")).string());
    TStallMeter Stalls;
    QTimer Poll;
    bool Done = false;
    qint64 FirstFileNs = 0;
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        const TFormMainTestAccess Main(*FormMain);
        if (!Stalls.Counting && Main.FileList().Count() > 0) {
            Stalls.Counting = true;
            FirstFileNs = Wall.nsecsElapsed();
        }
        if (Done || Main.FileList().Count() < R.Expected || Main.IsWorkerBusy() || FileQueue->Count() > 0)
            return;
        if (R.Empty && Wall.elapsed() < 1000)
            return;
        Done = true;
        Poll.stop();
        const double Seconds = static_cast<double>(Wall.nsecsElapsed()) / 1e9;
        const double UiCpu = ThreadCpuSeconds() - UiCpu0;
        const double Cpu = ProcessCpuSeconds() - Cpu0;
        long Failed = 0;
        for (const auto& F : Main.FileList().Items)
            if (F->Hashes.HashTypes == 0)
                ++Failed;
        std::printf("message lines         %d\n", FormMain->findChild<QListWidget*>("ListBox_Messages")->count());
        std::printf("files                 %ld (%ld without digests)\n", static_cast<long>(Main.FileList().Count()), Failed);
        std::printf("wall time             %.2f s\n", Seconds);
        std::printf("files per second      %.0f\n", static_cast<double>(R.Expected) / Seconds);
        std::printf("first file taken at   %.2f s (windows built and shown, the worker's first poll)\n",
                    static_cast<double>(FirstFileNs) / 1e9);
        std::printf("UI thread CPU         %.2f s = %.0f %% of one core\n", UiCpu, 100 * UiCpu / Seconds);
        std::printf("process CPU           %.2f s\n", Cpu);
        std::printf("peak memory           %.1f MiB (%.1f MiB before start)\n", PeakMemoryKiB() / 1024.0,
                    MemBefore / 1024.0);
        std::printf("longest UI stall      %.1f ms while hashing (%ld ticks > 50 ms, %ld > 100 ms, of %ld); "
                    "%.1f ms at start\n",
                    Stalls.Longest, Stalls.Over50, Stalls.Over100, Stalls.Ticks, Stalls.StartLongest);
        std::printf("resident              %.1f MiB, peak %.1f MiB (VmRSS, VmHWM)\n", StatusKiB("VmRSS") / 1024.0,
                    StatusKiB("VmHWM") / 1024.0);
        std::printf("worker messages       %llu handled, %llu left out\n",
                    static_cast<unsigned long long>(Main.WorkerMessagesHandled()),
                    static_cast<unsigned long long>(Main.WorkerMessagesCoalesced()));
        std::fflush(stdout);
        if (AtIdle)
            AtIdle();
        FormMain->windowHandle()->close();
    });
    Poll.start(5);
    const int Result = Program.Run();
    Program.Finish();
    return Result;
}

// Shows the log viewer, copies it and saves it, timing each as the user
// waits for it.
void LogViewerFigures(const fs::path& Out)
{
    QElapsedTimer T;
    T.start();
    FormMain->findChild<QAction*>("ActionViewLog")->trigger();
    while (!FormLogViewer->windowHandle() || !FormLogViewer->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    FormLogViewer->ListView->viewport()->repaint();
    std::printf("log viewer shown      %.1f ms (%d rows)\n", static_cast<double>(T.nsecsElapsed()) / 1e6,
                FormLogViewer->RowCount());

    T.restart();
    FormLogViewer->TB_CopyToClipboard->click();
    const qsizetype Chars = QGuiApplication::clipboard()->text().size();
    std::printf("copied to clipboard   %.1f ms (%lld characters)\n", static_cast<double>(T.nsecsElapsed()) / 1e6,
                static_cast<long long>(Chars));

    T.restart();
    FormLogViewer->ListView->selectAll();
    std::printf("all rows selected     %.1f ms\n", static_cast<double>(T.nsecsElapsed()) / 1e6);
    T.restart();
    FormLogViewer->TB_CopyToClipboard->click();
    std::printf("selection copied      %.1f ms\n", static_cast<double>(T.nsecsElapsed()) / 1e6);

    // Save Log in the SUM layout; the dialog is confirmed from a timer.
    const QString Target = QString::fromStdString((Out / "log.sum").string());
    QTimer::singleShot(0, [Target] {
        auto* D = FormSaveLog;
        D->findChild<QComboBox*>("ComboBox_FileFormat")->setCurrentIndex(
            D->findChild<QComboBox*>("ComboBox_FileFormat")->findData(static_cast<int>(vfSUM)));
        auto* Type = D->findChild<QComboBox*>("ComboBox_HashType");
        Type->setCurrentIndex(Type->findData(static_cast<int>(htSHA256)));
        D->findChild<QRadioButton*>("RadioButton_UseFilePath")->setChecked(true);
        D->findChild<QLineEdit*>("Edit_TargetPath")->setText(Target);
        D->findChild<QPushButton*>("BitBtn_Save")->click();
    });
    T.restart();
    FormMain->SaveLogAction()->trigger();
    std::printf("saved as SUM          %.1f ms (dialog included; %s)\n", static_cast<double>(T.nsecsElapsed()) / 1e6,
                Parts(FormMain).StatusText().toStdString().c_str());
}

// Clear Log as the user would, once the worker is idle.
void ClearLogFigures()
{
    // The action is enabled by the window's update cycle once it has seen the worker idle.
    QElapsedTimer Wait;
    Wait.start();
    while (!FormMain->ClearLogAction()->isEnabled() && Wait.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        MainWindowAccess(*FormMain).UpdateActions();
    }
    const long Before = StatusKiB("VmRSS");
    QElapsedTimer T;
    T.start();
    FormMain->ClearLogAction()->trigger();
    const double Ms = static_cast<double>(T.nsecsElapsed()) / 1e6;
    QCoreApplication::processEvents();
    std::printf("after Clear Log       %.1f MiB resident (%.1f MiB before; cleared in %.1f ms; %d records left)\n",
                StatusKiB("VmRSS") / 1024.0, Before / 1024.0, Ms, static_cast<int>(MainWindowAccess(*FormMain).FileList().Count()));
}

void PrintRow()
{
    FormMain->findChild<QAction*>("ActionViewLog")->trigger();
    const int Last = FormLogViewer->RowCount() - 1;
    std::printf("size cell             %s\n", FormLogViewer->CellText(Last, 2).toStdString().c_str());
    for (int T = htCRC32; T <= htED2K; ++T) {
        const QString Cell = FormLogViewer->CellText(Last, FormLogViewer->HashColumns[static_cast<std::size_t>(T)]);
        if (!Cell.isEmpty())
            std::printf("%-10s %s\n", HashTypeToName(static_cast<THashType>(T)).c_str(), Cell.toStdString().c_str());
    }
    std::printf("progress bar          %d\n", FormMain->findChild<QProgressBar*>("ProgressBar")->value());
    std::printf("size box              %s\n", FormMain->findChild<QLineEdit*>("EditFileSize")->text().toStdString().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::string(argv[1]) == "make-folder")
        return MakeFolder(argv[2], std::stol(argv[3]), std::stol(argv[4]));
    if (argc < 4) {
        std::fprintf(stderr, "usage: sorvik_scale make-folder DIR COUNT SIZE | folder DIR TYPES | file PATH TYPES | memory DIR TYPES | empty - TYPES | failing COUNT TYPES\n");
        return 2;
    }
    const std::string Mode = argv[1];
    int QtArgc = 1;
    QApplication App(QtArgc, argv);
    // Nothing may block: the opener and the boxes report instead.
    SetUrlOpener([](const QUrl&) { return true; });

    const fs::path Work = fs::temp_directory_path() / ("sorvik-scale-" + std::to_string(QCoreApplication::applicationPid()));
    TRun R;
    R.ProgramFolder = Work / "program";
    R.Path = QString::fromLocal8Bit(argv[2]);
    R.Types = QString::fromLatin1(argv[3]);
    R.Empty = Mode == "empty";
    R.Missing = Mode == "failing" ? std::stol(argv[2]) : 0;
    R.Expected = R.Empty ? 0 : R.Missing > 0 ? R.Missing : CountFiles(argv[2]);
    int Result = 1;
    if (Mode == "folder")
        Result = RunProgram(R, [&] { LogViewerFigures(Work); });
    else if (Mode == "file")
        Result = RunProgram(R, PrintRow);
    else if (Mode == "memory")
        Result = RunProgram(R, ClearLogFigures);
    else if (Mode == "empty" || Mode == "failing")
        Result = RunProgram(R, nullptr);
    std::error_code Ignored;
    if (Mode == "folder")
        std::printf("SUM file              %s\n", (Work / "log.sum").c_str());
    else
        fs::remove_all(Work, Ignored);
    return Result;
}
