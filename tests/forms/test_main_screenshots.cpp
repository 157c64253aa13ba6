// Pictures of the main window for a person to look at; taken only when
// SORVIK_SCREENSHOTS names a folder (run under xvfb-run for real fonts).
#include "main_window_support.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>

#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"
#include "forms/fSaveLog.h"
#include "forms/fText.h"
#include "forms/uForms.h"
#include "program/uMainSequence.h"
#include "support/main_parts.h"
#include "support/recorded_interaction.h"

#include <filesystem>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace maintest;

TEST(MainWindowScreenshots, AfterHashingAFileAndWithTheMessageList)
{
    const QString Dir = qEnvironmentVariable("SORVIK_SCREENSHOTS");
    if (Dir.isEmpty())
        GTEST_SKIP() << "set SORVIK_SCREENSHOTS to a folder to take them";
    TTempFolder Folder;
    const std::string File = Folder.Write("holiday-photos.zip", std::string(3 * 1024 * 1024 + 517, 'p'));
    TMainWindowFixture M(StringToHashTypes("CRC32,MD5,SHA1,SHA256,ED2K"));
    M.Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.Form.get()));
    QTest::qWait(200);
    M.Form->grab().save(QDir(Dir).filePath("main-window-empty.png"));
    M.Access().AddPaths({QString::fromStdString(File)});
    ASSERT_TRUE(M.WaitIdle());
    QTest::qWait(200);
    M.Form->grab().save(QDir(Dir).filePath("main-window.png"));
    M.Access().AddPaths({QString::fromStdString(Folder.Path().string() + "/missing.iso")});
    QTest::qWait(200);
    M.Form->grab().save(QDir(Dir).filePath("main-window-messages.png"));
}

// The whole program in German and in Hebrew (right to left), started as
// main() starts it; SORVIK_LANGUAGES names the "Languages" folder to use.
TEST(MainWindowScreenshots, TranslatedWindows)
{
    const QString Dir = qEnvironmentVariable("SORVIK_SCREENSHOTS");
    const QString Languages = qEnvironmentVariable("SORVIK_LANGUAGES");
    if (Dir.isEmpty() || Languages.isEmpty())
        GTEST_SKIP() << "set SORVIK_SCREENSHOTS and SORVIK_LANGUAGES to take them";
    for (const char* Code : {"de", "he"}) {
        TTempFolder Folder;
        std::filesystem::create_directory_symlink(Languages.toStdString(), Folder.Path() / "Languages");
        const std::string File = Folder.Write("photo.jpg", std::string(40000, 'j'));
        Folder.Write("notes.txt", "abc"); // a size in the toolkit's word for bytes
        // A FIFO cannot be opened as a file: the file layer's error, translated.
        const std::string Fifo = (Folder.Path() / "pipe").string();
        ::mkfifo(Fifo.c_str(), 0600);
        TSorvikProgram Program({QStringLiteral("--LANG=") + QLatin1String(Code), Q(File), "missing.txt", Q(Fifo)},
                               (Folder.Path() / "sorvik").string());
        Program.Start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMain));
        ASSERT_TRUE(QTest::qWaitFor([] {
            const TFormMainTestAccess Main(*FormMain);
            return Main.FileList().Count() == 2 && !Main.IsWorkerBusy();
        }, 5000));
        QTest::qWait(400);
        FormMain->grab().save(QDir(Dir).filePath(QStringLiteral("main-window-%1.png").arg(QLatin1String(Code))));

        // The three file dialogs, each opened on the folder of the file.
        const auto GrabModal = [&](const QString& Name) {
            QTimer::singleShot(600, [=] {
                if (QWidget* D = QApplication::activeModalWidget()) {
                    D->grab().save(QDir(Dir).filePath(QStringLiteral("%1-%2.png").arg(Name, QLatin1String(Code))));
                    // The path box's list is a window of its own: taken from the screen.
                    if (auto* PathBox = D->findChild<QComboBox*>(QStringLiteral("lookInCombo"))) {
                        PathBox->showPopup();
                        QTest::qWait(300);
                        const QRect Area = D->frameGeometry().united(PathBox->view()->window()->geometry());
                        QGuiApplication::primaryScreen()
                            ->grabWindow(0, Area.x(), Area.y(), Area.width(), Area.height())
                            .save(QDir(Dir).filePath(QStringLiteral("%1-list-%2.png").arg(Name, QLatin1String(Code))));
                        PathBox->hidePopup();
                    }
                    if (auto* Dialog = qobject_cast<QDialog*>(D))
                        Dialog->reject();
                }
            });
        };
        const QString Here = QString::fromStdString(Folder.Path().string());
        // Each chooser runs for real, on the folder of the file, until grabbed.
        TRecordedInteraction User;
        User.Choose = [&](QFileDialog& D) {
            D.setDirectory(Here);
            D.setHistory({QStringLiteral("/usr/share/doc"), Here});
            const QString Name = D.objectName();
            GrabModal(Name == QLatin1String("OpenDialog")              ? QStringLiteral("open-files")
                      : Name == QLatin1String("SelectDirectoryDialog") ? QStringLiteral("select-folders")
                                                                       : QStringLiteral("save-log"));
            D.exec();
            return QStringList();
        };
        Parts(FormMain).ActionAddFiles->trigger();
        Parts(FormMain).ActionAddFolder->trigger();
        if (auto* Browse = FormSaveLog->findChild<QAbstractButton*>(QStringLiteral("SpeedButton_Browse")))
            Browse->click();
        // Mixed directions: two files whose longest digests differ, Hebrew
        // and English typed into the text window, and the log.
        // All ten types (the default), so that the lists of types are long.
        THashFile A("/tmp/a.iso");
        THashFile B("/tmp/b.iso");
        for (int T = htFirst; T <= htLast; ++T) {
            const std::string Digest = T == htCRC32 ? "352441c2" : std::string(32, 'c');
            A.Hashes.Put(THashType(T), Digest);
            B.Hashes.Put(THashType(T), Digest);
        }
        A.Hashes.Put(htSHA512, std::string(128, 'a'));
        B.Hashes.Put(htSHA512, std::string(128, 'b'));
        FormCompareFiles->Compare(A, B);
        QTest::qWait(300);
        FormCompareFiles->grab().save(QDir(Dir).filePath(QStringLiteral("compare-files-%1.png").arg(QLatin1String(Code))));
        FormCompareFiles->hide();
        FormText->show();
        FormText->MemoText->setPlainText(QStringLiteral("שלום עולם\nHello world\n123 abc"));
        QTest::qWait(300);
        FormText->grab().save(QDir(Dir).filePath(QStringLiteral("text-%1.png").arg(QLatin1String(Code))));
        FormText->hide();
        FormLogViewer->show();
        QTest::qWait(300);
        FormLogViewer->grab().save(QDir(Dir).filePath(QStringLiteral("log-viewer-%1.png").arg(QLatin1String(Code))));
        FormLogViewer->hide();
        Program.Finish();
    }
}
