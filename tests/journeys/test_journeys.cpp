// The program as its users meet it: each journey starts the real main
// sequence in a program folder of its own, on a real X server, and drives the
// windows as a user would.
#include "journey_support.h"

#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QToolButton>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <map>
#include <random>

using namespace journey;

namespace {

// The length of each digest, by type.
const std::map<THashType, int> DigestLength = {
    {htCRC32, 8},      {htMD2, 32},  {htMD4, 32},        {htMD5, 32},        {htSHA1, 40},
    {htSHA256, 64},    {htSHA512, 128}, {htRIPEMD128, 32}, {htRIPEMD160, 40}, {htED2K, 32},
};

struct TSaveChoice {
    TVerifyFormat Format;
    THashType Type;
    bool FullPath;
    fs::path Target;
};

// Save Log from the menu, the dialog filled in and confirmed as a user does.
void SaveLog(const TSaveChoice& Choice)
{
    WhenModal([&](QWidget* Dialog) {
        ASSERT_EQ(Dialog, static_cast<QWidget*>(FormSaveLog));
        auto* Format = Dialog->findChild<QComboBox*>("ComboBox_FileFormat");
        auto* Type = Dialog->findChild<QComboBox*>("ComboBox_HashType");
        auto* Path = Dialog->findChild<QLineEdit*>("Edit_TargetPath");
        auto* Radio = Dialog->findChild<QRadioButton*>(Choice.FullPath ? "RadioButton_UseFilePath"
                                                                       : "RadioButton_UseFileNameOnly");
        auto* Save = Dialog->findChild<QPushButton*>("BitBtn_Save");
        ASSERT_TRUE(Format && Type && Path && Radio && Save);
        Format->setCurrentIndex(Format->findData(static_cast<int>(Choice.Format)));
        Type->setCurrentIndex(Type->findData(static_cast<int>(Choice.Type)));
        // On the button's circle: the row is wider than its caption.
        QTest::mouseClick(Radio, Qt::LeftButton, {}, QPoint(8, Radio->height() / 2));
        Path->clear();
        QTest::keyClicks(Path, Q(Choice.Target));
        QTest::mouseClick(Save, Qt::LeftButton);
    });
    Parts(FormMain).ActionSaveLog->trigger();
}

void WriteSparse(const fs::path& P, std::uintmax_t Size)
{
    std::ofstream(P, std::ios::binary).put('x');
    fs::resize_file(P, Size);
}

// msgid -> msgstr of the one-line entries of a .po file that have a translation.
std::map<QString, QString> PoTranslations(const fs::path& File)
{
    std::map<QString, QString> Map;
    const QStringList Lines = QString::fromUtf8(ReadAll(File)).split(QLatin1Char('\n'));
    auto Quoted = [](const QString& Line, const QString& Key) {
        return Line.startsWith(Key + QStringLiteral(" \"")) && Line.endsWith(QLatin1Char('"'))
                   ? Line.mid(Key.size() + 2).chopped(1)
                   : QString();
    };
    for (int I = 0; I + 1 < Lines.size(); ++I) {
        const QString Id = Quoted(Lines[I], QStringLiteral("msgid"));
        const QString Str = Quoted(Lines[I + 1], QStringLiteral("msgstr"));
        if (!Id.isEmpty() && !Str.isEmpty())
            Map[Id] = Str;
    }
    return Map;
}

QString MenuTitles()
{
    QStringList L;
    for (QMenu* M : {Parts(FormMain).MI_FileMenu, Parts(FormMain).MI_LogMenu, Parts(FormMain).MI_OptionsMenu,
                     Parts(FormMain).MI_Language, Parts(FormMain).MI_HelpMenu})
        L.append(M->title());
    return L.join(QLatin1Char('|'));
}

// Picks the language-menu item whose caption starts with Name.
void ChooseLanguage(const QString& Name)
{
    QAction* Item = nullptr;
    for (QAction* A : Parts(FormMain).MI_Language->actions())
        if (A->text().startsWith(Name))
            Item = A;
    ASSERT_NE(Item, nullptr) << Name.toStdString() << " is not in the language menu";
    Item->trigger();
}

} // namespace

// A folder and two files on the command line: all of them hashed with the
// ten types, the log shown, copied and saved in both layouts, the layouts
// accepted by the standard checkers, the dialog's choices kept for the next
// start.
TEST_F(TJourney, CommandLineToVerifiedLogsAndRememberedChoices)
{
    const fs::path Data = Folder.Path() / "data";
    fs::create_directories(Data / "sub");
    const std::map<fs::path, std::string> Files = {
        {Data / "a.txt", "abc"},
        {Data / "sub" / "b.bin", std::string(300000, '\x5a')},
        {Folder.Path() / "one.txt", ""},
        {Folder.Path() / "two with blanks.txt", "message digest"},
    };
    for (const auto& [P, Text] : Files)
        std::ofstream(P, std::ios::binary) << Text;

    Start({Q(Data), Q(Folder.Path() / "one.txt"), Q(Folder.Path() / "two with blanks.txt")});
    ASSERT_TRUE(WaitIdle(4));
    EXPECT_TRUE(MessageTexts().isEmpty()) << MessageTexts().join('\n').toStdString();

    Parts(FormMain).ActionViewLog->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormLogViewer));
    ASSERT_EQ(FormLogViewer->RowCount(), 4);
    QStringList Logged;
    for (int Row = 0; Row < 4; ++Row) {
        Logged.append(FormLogViewer->CellText(Row, 1));
        EXPECT_EQ(FormLogViewer->CellText(Row, 0), QString::number(Row + 1));
        for (const auto& [Type, Length] : DigestLength) {
            const QString Cell = FormLogViewer->CellText(Row, FormLogViewer->HashColumns[Type]);
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{%1}$").arg(Length)).match(Cell).hasMatch())
                << "row " << Row << " " << HashTypeToName(Type) << ": " << Cell.toStdString();
        }
    }
    QStringList Expected;
    for (const auto& [P, Text] : Files)
        Expected.append(Q(P));
    Logged.sort();
    Expected.sort();
    EXPECT_EQ(Logged, Expected) << "every file once, by its full path";

    // The table through the real clipboard: header and four rows, 13 columns.
    QTest::mouseClick(FormLogViewer->TB_CopyToClipboard, Qt::LeftButton);
    const QStringList Lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(Lines.size(), 6) << "header, four rows, nothing after the last CR LF";
    EXPECT_TRUE(Lines[0].startsWith(QStringLiteral("#\tFile\tSize\tCRC32\tMD2")));
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(Lines[I].count(QLatin1Char('\t')), 12) << Lines[I].toStdString();

    const fs::path Out = Folder.Path() / "out";
    fs::create_directory(Out);
    SaveLog({vfSUM, htSHA256, true, Out / "files.sha256"});
    EXPECT_EQ(Parts(FormMain).StatusText(), QStringLiteral("Log file saved"));
    SaveLog({vfSFV, htCRC32, true, Out / "files.sfv"});
    EXPECT_EQ(Parts(FormMain).StatusText(), QStringLiteral("Log file saved"));

    const TToolResult Sum = RunTool("sha256sum", {"-c", "files.sha256"}, Out);
    EXPECT_EQ(Sum.ExitCode, 0) << Sum.Output.toStdString();
    EXPECT_EQ(Sum.Output.count(QStringLiteral(": OK")), 4) << Sum.Output.toStdString();
    const TToolResult Sfv = RunTool("cksfv", {"-f", "files.sfv"}, Out);
    EXPECT_EQ(Sfv.ExitCode, 0) << Sfv.Output.toStdString();
    EXPECT_EQ(Sfv.Output.count(QRegularExpression(QStringLiteral("\\sOK$"), QRegularExpression::MultilineOption)), 4)
        << Sfv.Output.toStdString();

    EXPECT_EQ(Close(), 0);
    EXPECT_TRUE(SettingsSaved);
    const std::string Ini = ReadAll(SettingsFile());
    for (const char* Line : {"[SaveLog]", "HashType=CRC32", "VerifyFormat=SFV", "UseFullPath=1"})
        EXPECT_NE(Ini.find(Line), std::string::npos) << Line << " in\n" << Ini;
    EXPECT_NE(Ini.find("FileName=" + (Out / "files.sfv").string()), std::string::npos) << Ini;
    for (const auto& [P, Text] : Files)
        EXPECT_EQ(ReadAll(P), Text) << P << " was changed";

    // The next start: the dialog opens with the choices made last time.
    Start();
    WhenModal([&](QWidget* Dialog) {
        EXPECT_EQ(Dialog->findChild<QComboBox*>("ComboBox_FileFormat")->currentData().toInt(), static_cast<int>(vfSFV));
        EXPECT_EQ(Dialog->findChild<QComboBox*>("ComboBox_HashType")->currentData().toInt(), static_cast<int>(htCRC32));
        EXPECT_TRUE(Dialog->findChild<QRadioButton*>("RadioButton_UseFilePath")->isChecked());
        EXPECT_EQ(Dialog->findChild<QLineEdit*>("Edit_TargetPath")->text(), Q(Out / "files.sfv"));
        QTest::mouseClick(Dialog->findChild<QPushButton*>("BitBtn_Cancel"), Qt::LeftButton);
    });
    Parts(FormMain).ActionSaveLog->trigger();
    EXPECT_EQ(Close(), 0);
    ExpectNothingSaid();
}

// Ctrl held while two differing files are added: the second is compared with
// the first, the comparison window says they differ, the message list warns.
TEST_F(TJourney, CtrlWhileAddingTwoDifferingFilesReportsTheMismatch)
{
    const std::string First = Folder.Write("first.txt", "abc");
    const std::string Second = Folder.Write("second.txt", "abd");
    Start();
    User.Choose = [&](QFileDialog&) { return QStringList{Q(First), Q(Second)}; };
    {
        THeldKey Ctrl(Qt::ControlModifier);
        QTest::mouseClick(Parts(FormMain).TB_AddFiles, Qt::LeftButton);
    }
    ASSERT_TRUE(WaitIdle(2));
    ASSERT_TRUE(QTest::qWaitFor([] { return FormCompareFiles->isVisible(); }, 5000))
        << "the comparison window did not come up";
    EXPECT_TRUE(FormCompareFiles->Image_Bad->isVisible());
    EXPECT_FALSE(FormCompareFiles->Image_Good->isVisible());
    EXPECT_EQ(FormCompareFiles->Edit_FileA->text(), Q(Second));
    EXPECT_EQ(FormCompareFiles->Edit_FileB->text(), Q(First));
    EXPECT_EQ(MessageTexts(), (QStringList{"Hashes of files do not match", Q(Second), Q(First)}));
    EXPECT_FALSE(Parts(FormMain).ActionCompareNextTwoFiles->isChecked()) << "the comparison consumed it";
    EXPECT_FALSE(Parts(FormMain).ActionCompareToNextFile->isChecked());

    // Without Ctrl the same two files are only hashed.
    FormCompareFiles->hide();
    QTest::mouseClick(Parts(FormMain).TB_AddFiles, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(4));
    EXPECT_FALSE(FormCompareFiles->isVisible());
    EXPECT_EQ(MessageTexts().size(), 3);
    EXPECT_EQ(Close(), 0);
    ExpectNothingSaid();
}

// German from the language menu: a notice, nothing changes in this run, every
// menu German at the next start. Hebrew likewise lays the window out right to
// left.
TEST_F(TJourney, ChosenLanguagesTakeEffectAtTheNextStart)
{
    Start();
    const QString English = MenuTitles();
    EXPECT_EQ(FormMain->layoutDirection(), Qt::LeftToRight);
    ChooseLanguage(QStringLiteral("German"));
    ASSERT_EQ(Infos.size(), 1u);
    EXPECT_TRUE(Infos[0].startsWith(QStringLiteral("You have selected a different language.\r\n\r\n"
                                                   "Please restart the application.")))
        << Infos[0].toStdString();
    EXPECT_TRUE(Infos[0].contains(QStringLiteral("Language: German - Deutsch"))) << Infos[0].toStdString();
    EXPECT_EQ(MenuTitles(), English) << "the language changes only at the next start";
    EXPECT_EQ(Close(), 0);
    EXPECT_NE(ReadAll(SettingsFile()).find("LanguageCode=de"), std::string::npos);
    Infos.clear();

    Start();
    // Every menu and action shows the German text the shipped file gives it.
    const std::map<QString, QString> Po = PoTranslations(SORVIK_APP_DIR "/Languages/sorvik.de.po");
    const QStringList German = MenuTitles().split(QLatin1Char('|'));
    const QStringList EnglishTitles = English.split(QLatin1Char('|'));
    ASSERT_EQ(German.size(), EnglishTitles.size());
    for (int I = 0; I < German.size(); ++I) {
        const auto It = Po.find(EnglishTitles[I]);
        ASSERT_NE(It, Po.end()) << "no German text for the menu " << EnglishTitles[I].toStdString();
        EXPECT_EQ(German[I], It->second);
    }
    const auto AddFiles = Po.find(QStringLiteral("Add Files"));
    ASSERT_NE(AddFiles, Po.end());
    EXPECT_EQ(Parts(FormMain).ActionAddFiles->text(), AddFiles->second) << "the actions are German too";
    EXPECT_EQ(FormMain->layoutDirection(), Qt::LeftToRight);

    ChooseLanguage(QStringLiteral("Hebrew"));
    EXPECT_EQ(Close(), 0);
    Start();
    EXPECT_EQ(FormMain->layoutDirection(), Qt::RightToLeft);
    EXPECT_TRUE(QGuiApplication::isRightToLeft());
    // On the screen: the File menu stands right of the Help menu.
    QMenuBar* Bar = FormMain->menuBar();
    EXPECT_GT(Bar->actionGeometry(Parts(FormMain).MI_FileMenu->menuAction()).x(),
              Bar->actionGeometry(Parts(FormMain).MI_HelpMenu->menuAction()).x());
    ChooseLanguage(QStringLiteral("Original"));
    EXPECT_EQ(Close(), 0);
    Infos.clear();
    // Back to English for whatever runs next in this process.
    Start();
    EXPECT_EQ(MenuTitles(), English);
    EXPECT_EQ(FormMain->layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(Close(), 0);
    ExpectNothingSaid();
}

// Settings that cannot be used: the program starts with its defaults and
// says nothing; a file it could not read is never replaced.
TEST_F(TJourney, GarbageSettingsStartWithDefaults)
{
    // Whatever a user might have saved under that name: bytes of any value.
    std::mt19937 Random(12);
    std::string Garbage(4096, '\0');
    for (char& C : Garbage)
        C = static_cast<char>(Random());
    Folder.Write("Settings.ini", Garbage);
    Start();
    EXPECT_EQ(Parts(FormMain).CheckedHashTypes(), AllHashTypes()) << "the defaults";
    EXPECT_EQ(Settings->LanguageCode, "");
    EXPECT_TRUE(MessageTexts().isEmpty());
    EXPECT_EQ(Close(), 0);
    ExpectNothingSaid();
    // The file was read; it is written anew with settings the next start reads.
    const std::string Ini = ReadAll(SettingsFile());
    EXPECT_NE(Ini.find("[General]"), std::string::npos) << Ini;
}

TEST_F(TJourney, UnreadableSettingsAreNeverReplaced)
{
    // Whoever runs this, a folder in the file's place cannot be read as a
    // file; for a user other than root a file without read permission is the
    // everyday case as well.
    fs::create_directory(SettingsFile());
    const std::string Inside = Folder.Write("Settings.ini/keep.txt", "mine");
    Start();
    EXPECT_EQ(Parts(FormMain).CheckedHashTypes(), AllHashTypes()) << "the defaults";
    Parts(FormMain).HashRow(htMD2).CheckBox->setChecked(false);
    EXPECT_EQ(Close(), 0);
    EXPECT_FALSE(SettingsSaved);
    EXPECT_TRUE(fs::is_directory(SettingsFile()));
    EXPECT_EQ(ReadAll(Inside), "mine");
    ExpectNothingSaid();

    if (geteuid() != 0) {
        fs::remove_all(SettingsFile());
        Folder.Write("Settings.ini", "[General]\nHashTypes=MD5\n");
        ::chmod(SettingsFile().c_str(), 0);
        Start();
        EXPECT_EQ(Parts(FormMain).CheckedHashTypes(), AllHashTypes());
        EXPECT_EQ(Close(), 0);
        ::chmod(SettingsFile().c_str(), 0600);
        EXPECT_EQ(ReadAll(SettingsFile()), "[General]\nHashTypes=MD5\n");
        ExpectNothingSaid();
    }
}

TEST_F(TJourney, AStorageFolderThatCannotBeCreatedIsNoFault)
{
    // The folder would have to be made inside a file.
    const std::string Blocker = Folder.Write("blocker", "user data");
    const std::string Storage = Folder.Write("Storage.ini", Blocker + "/data");
    const std::string Hashed = Folder.Write("hashed.txt", "abc");
    Start({Q(Hashed)});
    ASSERT_TRUE(WaitIdle(1));
    EXPECT_EQ(Parts(FormMain).CheckedHashTypes(), AllHashTypes());
    EXPECT_TRUE(MessageTexts().isEmpty()) << MessageTexts().join('\n').toStdString();
    EXPECT_EQ(Close(), 0) << "the program ends normally";
    EXPECT_FALSE(SettingsSaved);
    EXPECT_EQ(ReadAll(Blocker), "user data");
    EXPECT_EQ(ReadAll(Storage), Blocker + "/data");
    EXPECT_EQ(ReadAll(Hashed), "abc");
    EXPECT_FALSE(fs::exists(SettingsFile())) << "no settings where they were not asked for";
    ExpectNothingSaid();
}

// Closing the window while a file that takes seconds is hashed: the program
// ends at once, with the settings written and the file untouched.
TEST_F(TJourney, ClosingWhileHashingEndsPromptlyWithSettingsWritten)
{
    // With all ten types (MD2 is the slowest) this file takes several seconds.
    const fs::path Big = Folder.Path() / "big.bin";
    const std::uintmax_t Size = 96ull << 20;
    WriteSparse(Big, Size);
    Start({Q(Big)});
    ASSERT_TRUE(QTest::qWaitFor([] { return Parts(FormMain).ProgressBar->value() >= 1; }, 20000))
        << "hashing did not get going";
    const auto InHand = MainWindowAccess(*FormMain).FileList().GetItem(0);
    Parts(FormMain).HashRow(htMD2).CheckBox->setChecked(false);

    QElapsedTimer Clock;
    QTimer::singleShot(0, qApp, [&Clock] {
        Clock.start();
        FormMain->windowHandle()->close();
    });
    EXPECT_EQ(Program->Run(), 0);
    Program->Finish();
    const qint64 Ms = Clock.elapsed();
    SettingsSaved = Program->SettingsSaved();
    Program.reset();
    std::cout << "[ measured ] close to end while hashing: " << Ms << " ms\n";
    EXPECT_LT(Ms, 10000) << "a generous bound; the program should end well within a second";

    EXPECT_TRUE(SettingsSaved);
    const std::string Ini = ReadAll(SettingsFile());
    EXPECT_NE(Ini.find("HashTypes=CRC32,MD4,MD5,SHA1,SHA256,SHA512,RipeMD128,RipeMD160,ED2K"), std::string::npos)
        << Ini;
    EXPECT_EQ(InHand->Hashes.HashTypes, 0u) << "the file given up has no digests";
    EXPECT_EQ(fs::file_size(Big), Size);
    ExpectNothingSaid();
}

#ifdef Q_OS_LINUX
// The desktop ends the session with SIGTERM; a terminal's Ctrl+C sends
// SIGINT. The program ends as if its window were closed: settings written.
TEST_F(TJourney, LogoutAndInterruptEndTheProgramWithSettingsWritten)
{
    std::error_code Ec;
    fs::copy_file(SORVIK_APP_DIR "/sorvik", ProgramFile(), Ec);
    ASSERT_FALSE(Ec) << Ec.message();
    for (const int Signal : {SIGTERM, SIGINT}) {
        {
            std::ofstream(SettingsFile()) << "[General]\nHashTypes=MD5\n";
        }
        QProcess P;
        P.setProcessChannelMode(QProcess::ForwardedChannels);
        P.start(Q(ProgramFile()), {});
        ASSERT_TRUE(P.waitForStarted(30000));
        // Its handler in place, the program has started; a program without
        // one is ended by the signal all the same, later.
        (void)QTest::qWaitFor([&] { return Catches(P.processId(), Signal); }, 10000);
        QTest::qWait(300);
        ::kill(static_cast<pid_t>(P.processId()), Signal);
        ASSERT_TRUE(P.waitForFinished(30000)) << Signal;
        EXPECT_EQ(P.exitStatus(), QProcess::NormalExit) << Signal;
        EXPECT_EQ(P.exitCode(), 0) << Signal;
        const std::string Ini = ReadAll(SettingsFile());
        EXPECT_NE(Ini.find("[Location]"), std::string::npos) << Signal << ": written anew\n" << Ini;
        EXPECT_NE(Ini.find("HashTypes=MD5\n"), std::string::npos) << Signal << ": the choices kept\n" << Ini;
    }
}
#endif
