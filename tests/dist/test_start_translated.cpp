// The program started through its own main sequence, from a folder that
// holds the "Languages" folder the build lays out beside the program.
#include "app/uLanguages.h"
#include "app/uTranslationKit.h"
#include "forms/fMain.h"
#include "forms/uFileDialogs.h"
#include "forms/uForms.h"
#include "program/uMainSequence.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "support/text_direction.h"

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

// A program folder with a copy of the built "Languages".
class TProgramFolder {
public:
    TProgramFolder()
    {
        const QString From = Str(SORVIK_APP_DIR "/Languages");
        QDirIterator It(From, QDir::Files, QDirIterator::Subdirectories);
        while (It.hasNext()) {
            const QString File = It.next();
            const QString To = FDir.filePath(Str("Languages/") + QDir(From).relativeFilePath(File));
            QDir().mkpath(QFileInfo(To).path());
            QFile::copy(File, To);
        }
    }
    std::string Program() const { return FDir.filePath(Str("sorvik")).toStdString(); }

private:
    QTemporaryDir FDir;
};

// Every menu and menu item of the main window that has a name, by name.
QMap<QString, QString> MenuTexts()
{
    QMap<QString, QString> Texts;
    for (QMenu* M : FormMain->findChildren<QMenu*>())
        if (!M->objectName().isEmpty())
            Texts[M->objectName()] = M->title();
    for (QAction* A : FormMain->findChildren<QAction*>())
        if (!A->objectName().isEmpty() && !A->text().isEmpty())
            Texts[A->objectName()] = A->text().section(QLatin1Char('\t'), 0, 0); // without the shortcut
    return Texts;
}

QMap<QString, QString> StartAndReadMenus(const QStringList& Arguments, Qt::LayoutDirection* Direction = nullptr,
                                         QStringList* LanguageItems = nullptr)
{
    TProgramFolder Folder;
    TSorvikProgram Program(Arguments, Folder.Program());
    Program.Start();
    const auto Texts = MenuTexts();
    if (Direction)
        *Direction = FormMain->layoutDirection();
    if (LanguageItems)
        for (QAction* A : FormMain->findChild<QMenu*>(Str("MI_Language"))->actions())
            if (!A->isSeparator())
                *LanguageItems << QString(A->text()).remove(QChar(0x200E)) // marks of the fixed items
                                      + (A->isChecked() ? Str(" [x]") : QString())
                                      + (A->icon().isNull() ? QString() : Str(" [flag]"));
    Program.Finish();
    return Texts;
}

} // namespace

TEST(StartTranslated, MenusInTheLanguageOfTheCommandLine)
{
    const auto English = StartAndReadMenus({Str("--LANG=DEFAULT")});
    ASSERT_GE(English.size(), 20);

    const struct {
        const char* Argument;
        const char* File;
        Qt::LayoutDirection Direction;
        const char* FileMenu;
    } Cases[] = {
        {"--LANG=de", "sorvik.de.po", Qt::LeftToRight, "Datei"},
        {"--LANG=he", "sorvik.he.po", Qt::RightToLeft, "קובץ"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Argument);
        Qt::LayoutDirection Direction = Qt::LayoutDirectionAuto;
        QStringList LanguageItems;
        const auto Translated = StartAndReadMenus({Str(C.Argument)}, &Direction, &LanguageItems);
        EXPECT_EQ(Direction, C.Direction);
        EXPECT_EQ(Translated.value(Str("MI_FileMenu")), Str(C.FileMenu));

        // Each named menu text reads as the file translates it.
        const TPoCatalog Po(Str(SORVIK_APP_DIR "/Languages/") + Str(C.File));
        int Different = 0;
        for (auto It = English.begin(); It != English.end(); ++It) {
            const QString Key = Str("TFORMMAIN.") + It.key() + Str(".CAPTION");
            const QString Expected = Po.Translate(Key, It.value());
            EXPECT_EQ(Translated.value(It.key()), Expected) << It.key().toStdString();
            Different += Expected != It.value();
        }
        EXPECT_GE(Different, English.size() / 2) << "most menu texts differ from English";

        // The language menu: fixed English items, the automatic choice
        // checked, each language with its flag.
        EXPECT_EQ(LanguageItems.value(0), Str("Original (English)"));
        EXPECT_EQ(LanguageItems.value(1), Str("Autodetect [x]"));
        EXPECT_TRUE(LanguageItems.contains(Str("German - Deutsch [flag]"))) << LanguageItems.join(Str(" | ")).toStdString();
        EXPECT_TRUE(LanguageItems.contains(Str("Hebrew - עברית [flag]"))) << LanguageItems.join(Str(" | ")).toStdString();
    }
    // A run leaves its direction to the process; the tests that follow expect
    // the toolkit's own.
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}

// The toolkit's own words come from its translation file: the key names of
// the menus' shortcuts and the file dialog's size of a small file. In Hebrew
// a shortcut keeps reading left to right.
TEST(StartTranslated, ToolkitTextsInTheLanguage)
{
    const struct {
        const char* Argument;
        const char* SaveLog;
        const char* CopyAll;   // Ctrl+Shift+C
        const char* SelectAll; // Ctrl+=, whose "=" a right-to-left line would move
        const char* Bytes;
    } Cases[] = {
        {"--LANG=de", "Strg+S", "Strg+Umschalt+C", "Strg+=", "3 Bytes"},
        {"--LANG=he", "Ctrl+S", "Ctrl+Shift+C", "Ctrl+=", "3 בתים"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Argument);
        TProgramFolder Folder;
        TSorvikProgram Program({Str(C.Argument)}, Folder.Program());
        Program.Start();
        QStringList Shortcuts;
        for (QMenu* M : FormMain->findChildren<QMenu*>())
            for (QAction* A : M->actions())
                if (A->text().contains(QLatin1Char('\t')))
                    Shortcuts << A->text().section(QLatin1Char('\t'), 1);
        QStringList Plain;
        for (const QString& S : Shortcuts)
            Plain << directiontest::WithoutMarks(S);
        EXPECT_TRUE(Plain.contains(Str(C.SaveLog))) << Plain.join(Str(" | ")).toStdString();
        EXPECT_TRUE(Plain.contains(Str(C.CopyAll))) << Plain.join(Str(" | ")).toStdString();
        EXPECT_TRUE(Plain.contains(Str(C.SelectAll))) << Plain.join(Str(" | ")).toStdString();
        if (QGuiApplication::isRightToLeft()) {
            for (const QString& S : Shortcuts)
                EXPECT_TRUE(directiontest::ReadsLeftToRightInRightToLeft(S)) << S.toStdString();
        }
        EXPECT_EQ(FileDialogSize(3), Str(C.Bytes));
        Program.Finish();
    }
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}
