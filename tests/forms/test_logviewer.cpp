#include "forms/fLogViewer.h"
#include "settings_scope.h"
#include "pseudo_translation.h"
#include "support/design_texts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

const char* const Crc = "cbf43926";
const char* const Md5 = "900150983cd24fb0d6963f7d28e17f72";

std::shared_ptr<THashFile> Record(const char* Name, std::int64_t Size = -1,
                                  std::vector<std::pair<THashType, const char*>> Hashes = {})
{
    auto F = std::make_shared<THashFile>(Name);
    if (Size >= 0) {
        F->Properties.Size = Size;
        F->Properties.Valid = true;
    }
    for (const auto& [T, Text] : Hashes)
        F->Hashes.Put(T, Text);
    return F;
}

class LogViewer : public ::testing::Test {
protected:
    TSettingsScope Scope;
    TFormLogViewer Form;
    std::vector<std::shared_ptr<THashFile>> Log;

    // As the main window does: a row when the worker takes a file up...
    THashFile& Taken(std::shared_ptr<THashFile> F)
    {
        Log.push_back(F);
        Form.AddFile(*F);
        return *F;
    }
    // ... and the rest once the worker has finished it.
    void Finished(std::shared_ptr<THashFile> F) { Form.UpdateFile(Taken(std::move(F))); }

    QString CopiedText()
    {
        QApplication::clipboard()->setText(Str("stale"));
        QTest::mouseClick(Form.TB_CopyToClipboard, Qt::LeftButton);
        return QApplication::clipboard()->text();
    }

    void ShowForm()
    {
        Form.ShowAndRaise();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    }

    void ClickRow(int Row, Qt::KeyboardModifiers Mods = Qt::NoModifier)
    {
        const QRect R = Form.ListView->visualRect(Form.ListView->model()->index(Row, 1));
        QTest::mouseClick(Form.ListView->viewport(), Qt::LeftButton, Mods, R.center());
    }

    QStringList VisibleCaptions()
    {
        QStringList Captions;
        for (int C = 0; C < Form.ListView->model()->columnCount(); ++C)
            if (!Form.ListView->isColumnHidden(C))
                Captions << Form.ListView->model()->headerData(C, Qt::Horizontal).toString();
        return Captions;
    }
};

TEST_F(LogViewer, IsBuiltHiddenWithItsColumnsAndTracker)
{
    EXPECT_EQ(Form.objectName(), Str("FormLogViewer"));
    EXPECT_EQ(Form.windowTitle(), Str("Log Viewer"));
    for (const char* Name : {"ToolBar", "TB_SaveToFile", "TB_ClearLog", "TB_CopyToClipboard", "ListView"})
        EXPECT_NE(Form.findChild<QWidget*>(Str(Name)), nullptr) << Name;
    EXPECT_EQ(Form.TB_CopyToClipboard->text(), Str("Copy to clipboard"));
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.ListView->model()->columnCount(), 13);
    EXPECT_EQ(VisibleCaptions(), (QStringList{Str("#"), Str("File"), Str("Size")}));
    QStringList Hidden;
    for (int C = 3; C < 13; ++C)
        Hidden << Form.ListView->model()->headerData(C, Qt::Horizontal).toString();
    EXPECT_EQ(Hidden.join(QLatin1Char(',')), Str("CRC32,MD2,MD4,MD5,SHA1,SHA256,SHA512,RipeMD128,RipeMD160,ED2K"));
    EXPECT_EQ(Form.HashColumns[htNone], -1);
    EXPECT_EQ(Form.HashColumns[htMD5], 6);
    EXPECT_EQ(Scope->LogViewerLocation->Form(), &Form);
    EXPECT_EQ(Form.ListView->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(Form.ListView->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(Form.ListView->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(LogViewer, ExportsTheVisibleColumnsWithCrLfAfterEveryLine)
{
    Finished(Record("/data/a.bin", 1234567, {{htCRC32, Crc}, {htMD5, Md5}}));
    Finished(Record("/data/b.bin", 0, {{htMD5, Md5}}));
    Taken(Record("/data/failed.bin"));   // failed: never finished

    EXPECT_EQ(VisibleCaptions(), (QStringList{Str("#"), Str("File"), Str("Size"), Str("CRC32"), Str("MD5")}));
    const QString Text = CopiedText();
    EXPECT_EQ(Text, Str("#\tFile\tSize\tCRC32\tMD5\r\n"
                        "1\t/data/a.bin\t1,234,567\tcbf43926\t900150983cd24fb0d6963f7d28e17f72\r\n"
                        "2\t/data/b.bin\t0\t\t900150983cd24fb0d6963f7d28e17f72\r\n"
                        "3\t/data/failed.bin\t\t\t\r\n"));
    for (const QString& Line : Text.split(Str("\r\n"), Qt::SkipEmptyParts))
        EXPECT_EQ(Line.count(QLatin1Char('\t')), 4) << Line.toStdString();
    EXPECT_EQ(Form.CellText(0, 2), Str("1,234,567"));
    EXPECT_EQ(Form.ListView->model()->data(Form.ListView->model()->index(0, 2), Qt::TextAlignmentRole).toInt() &
                  Qt::AlignRight,
              Qt::AlignRight);

    Scope->IncludeHeaderInExport = false;
    EXPECT_TRUE(CopiedText().startsWith(Str("1\t/data/a.bin\t")));
}

TEST_F(LogViewer, ExportsTheSelectedRowsOrAllOfThem)
{
    ShowForm();
    for (const char* Name : {"r1", "r2", "r3", "r4", "r5"})
        Finished(Record(Name, 10, {{htCRC32, Crc}}));
    auto Numbers = [](const QString& Text) {
        QStringList N;
        for (const QString& Line : Text.split(Str("\r\n"), Qt::SkipEmptyParts))
            N << Line.section(QLatin1Char('\t'), 0, 0);
        return N.join(QLatin1Char(' '));
    };
    EXPECT_EQ(Numbers(CopiedText()), Str("# 1 2 3 4 5"));

    ClickRow(3);
    ClickRow(1, Qt::ControlModifier);
    EXPECT_EQ(Numbers(CopiedText()), Str("# 2 4")) << "selected rows in list order";

    Scope->IncludeHeaderInExport = false;
    EXPECT_EQ(Numbers(CopiedText()), Str("2 4"));
    Form.ListView->clearSelection();
    EXPECT_EQ(Numbers(CopiedText()), Str("1 2 3 4 5"));
}

TEST_F(LogViewer, EmptyLogExportsTheHeaderAloneOrNothing)
{
    EXPECT_EQ(CopiedText(), Str("#\tFile\tSize\r\n"));
    Scope->IncludeHeaderInExport = false;
    EXPECT_EQ(CopiedText(), QString());
}

TEST_F(LogViewer, ClearRestartsTheNumbersAndKeepsTheColumns)
{
    Finished(Record("a", 1, {{htSHA1, "a9993e364706816aba3e25717850c26c9cd0d89d"}}));
    Finished(Record("b", 2, {{htSHA1, "a9993e364706816aba3e25717850c26c9cd0d89d"}}));
    Form.Clear();
    Log.clear();
    EXPECT_EQ(Form.RowCount(), 0);
    THashFile& Next = Taken(Record("c"));
    EXPECT_EQ(Next.RowIndex, 0);
    EXPECT_EQ(Form.CellText(0, 0), Str("1"));
    Scope->IncludeHeaderInExport = true;
    EXPECT_EQ(CopiedText(), Str("#\tFile\tSize\tSHA1\r\n1\tc\t\t\r\n"));
}

TEST_F(LogViewer, UpdateReachesOnlyTheRowOfItsOwnRecord)
{
    auto Old = Record("old", 5, {{htMD5, Md5}});
    Taken(Old);
    Form.Clear();
    Taken(Record("new"));
    // The old record's row went with the clear: its digests go nowhere.
    Form.UpdateFile(*Old);
    EXPECT_EQ(Form.CellText(0, 1), Str("new"));
    EXPECT_EQ(Form.CellText(0, 2), QString());
    EXPECT_EQ(Form.CellText(0, 6), QString());
    EXPECT_TRUE(Form.ListView->isColumnHidden(6));
}

TEST_F(LogViewer, ARecordNotYetFinishedShowsNoDigests)
{
    // The worker may already have written digests into a record that it has
    // not reported finished: the row must not show them.
    Taken(Record("busy", 99, {{htMD5, Md5}}));
    EXPECT_EQ(Form.CellText(0, 2), QString());
    EXPECT_EQ(Form.CellText(0, 6), QString());
    EXPECT_TRUE(Form.ListView->isColumnHidden(6));
}

TEST_F(LogViewer, CellBreaksAndTabsBecomeBlanksInTheExport)
{
    Scope->IncludeHeaderInExport = false;
    Finished(Record("odd\tname\r\nhere", 3, {{htCRC32, Crc}}));
    EXPECT_EQ(CopiedText(), Str("1\todd name  here\t3\tcbf43926\r\n"));
}

TEST_F(LogViewer, DigestsFollowTheCaseSetting)
{
    Scope->UpperCaseHash = true;
    Finished(Record("a", 1, {{htCRC32, Crc}, {htMD5, Md5}}));
    EXPECT_EQ(Form.CellText(0, 3), Str("CBF43926"));
    EXPECT_EQ(Form.CellText(0, 6), Str("900150983CD24FB0D6963F7D28E17F72"));
    Form.ApplyHashCase(false);
    EXPECT_EQ(Form.CellText(0, 3), Str(Crc));
    EXPECT_EQ(Form.CellText(0, 6), Str(Md5));
    Form.ApplyHashCase(true);
    EXPECT_EQ(Form.CellText(0, 6), Str("900150983CD24FB0D6963F7D28E17F72"));
    EXPECT_EQ(Form.CellText(0, 1), Str("a")) << "file names keep their case";
}

TEST_F(LogViewer, CtrlAAndCtrlShiftASelectAllOnRelease)
{
    ShowForm();
    for (const char* Name : {"a", "b", "c"})
        Taken(Record(Name));
    Form.ListView->setFocus();
    QTest::keyPress(Form.ListView, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Form.ListView->selectionModel()->selectedRows().size(), 0) << "nothing on the press";
    QTest::keyRelease(Form.ListView, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Form.ListView->selectionModel()->selectedRows().size(), 3);

    Form.ListView->clearSelection();
    QTest::keyClick(Form.ListView, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Form.ListView->selectionModel()->selectedRows().size(), 3);

    Form.ListView->clearSelection();
    QTest::keyClick(Form.ListView, Qt::Key_A);
    EXPECT_EQ(Form.ListView->selectionModel()->selectedRows().size(), 0);
}

TEST_F(LogViewer, ToolButtonsRunTheMainWindowsActions)
{
    QAction SaveLog(Str("Save Log"));
    QAction ClearLog(Str("Clear Log"));
    QSignalSpy Saved(&SaveLog, &QAction::triggered);
    QSignalSpy Cleared(&ClearLog, &QAction::triggered);
    Form.SetMainActions(&SaveLog, &ClearLog);
    ShowForm();
    QTest::mouseClick(Form.TB_SaveToFile, Qt::LeftButton);
    EXPECT_EQ(Saved.size(), 1);
    ClearLog.setEnabled(false);   // the worker is busy
    EXPECT_FALSE(Form.TB_ClearLog->isEnabled());
    QTest::mouseClick(Form.TB_ClearLog, Qt::LeftButton);
    EXPECT_EQ(Cleared.size(), 0);
    ClearLog.setEnabled(true);
    QTest::mouseClick(Form.TB_ClearLog, Qt::LeftButton);
    EXPECT_EQ(Cleared.size(), 1);
    EXPECT_EQ(Form.TB_ClearLog->text(), Str("Clear Log"));
}

TEST_F(LogViewer, ClosingHidesAndKeepsTheRows)
{
    ShowForm();
    Taken(Record("kept"));
    Form.close();
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.RowCount(), 1);
    Scope->IncludeHeaderInExport = false;
    EXPECT_EQ(CopiedText(), Str("1\tkept\t\r\n"));
}

TEST_F(LogViewer, ABatchAnnouncesItsRowsAndCellsOnceAtItsEnd)
{
    Finished(Record("before", 1, {{htCRC32, Crc}}));
    auto* Model = Form.ListView->model();
    QSignalSpy Inserted(Model, &QAbstractItemModel::rowsInserted);
    QSignalSpy Changed(Model, &QAbstractItemModel::dataChanged);

    Form.BeginBatch();
    auto Old = Record("before, again", 2, {{htMD5, Md5}});
    Taken(Old);
    Form.EndBatch();
    Inserted.clear();

    Form.BeginBatch();
    Form.UpdateFile(*Old);
    for (const char* Name : {"x", "y", "z"})
        Finished(Record(Name, 3, {{htMD5, Md5}}));
    Taken(Record("failed"));
    // The window's own view sees nothing yet; the form already has every row.
    EXPECT_EQ(Model->rowCount(), 2);
    EXPECT_EQ(Inserted.count(), 0);
    EXPECT_EQ(Changed.count(), 0);
    EXPECT_EQ(Form.RowCount(), 6);
    EXPECT_EQ(Form.CellText(3, 1), Str("y"));
    EXPECT_EQ(Form.CellText(3, 6), Str(Md5));
    Form.EndBatch();

    ASSERT_EQ(Inserted.count(), 1);
    EXPECT_EQ(Inserted[0][1].toInt(), 2);
    EXPECT_EQ(Inserted[0][2].toInt(), 5);
    ASSERT_EQ(Changed.count(), 1) << "the row announced before the batch";
    EXPECT_EQ(Changed[0][0].toModelIndex().row(), 1);
    EXPECT_EQ(Model->rowCount(), 6);
    EXPECT_EQ(Model->data(Model->index(5, 1)).toString(), Str("failed"));
    EXPECT_EQ(Model->data(Model->index(1, 6)).toString(), Str(Md5));
    EXPECT_EQ(Model->data(Model->index(5, 2)).toString(), QString());
    Scope->IncludeHeaderInExport = false;
    EXPECT_EQ(CopiedText(), Str("1\tbefore\t1\tcbf43926\t\r\n"
                                "2\tbefore, again\t2\t\t900150983cd24fb0d6963f7d28e17f72\r\n"
                                "3\tx\t3\t\t900150983cd24fb0d6963f7d28e17f72\r\n"
                                "4\ty\t3\t\t900150983cd24fb0d6963f7d28e17f72\r\n"
                                "5\tz\t3\t\t900150983cd24fb0d6963f7d28e17f72\r\n"
                                "6\tfailed\t\t\t\r\n"));
}

TEST_F(LogViewer, RowsKeepTheCaseTheyWereGivenUntilTheCaseIsApplied)
{
    Scope->UpperCaseHash = true;
    Finished(Record("upper", 1, {{htMD5, Md5}}));
    Scope->UpperCaseHash = false;
    Finished(Record("lower", 1, {{htMD5, "900150983CD24FB0D6963F7D28E17F72"}}));
    EXPECT_EQ(Form.CellText(0, 6), Str(Md5).toUpper());
    EXPECT_EQ(Form.CellText(1, 6), Str(Md5));
    Form.ApplyHashCase(true);
    EXPECT_EQ(Form.CellText(1, 6), Str(Md5).toUpper());
}

TEST_F(LogViewer, EscLeavesTheWindowOpen)
{
    ShowForm();
    Taken(Record("kept"));
    for (QWidget* Target : {static_cast<QWidget*>(Form.ListView), static_cast<QWidget*>(&Form)}) {
        QTest::keyClick(Target, Qt::Key_Escape);
        EXPECT_TRUE(Form.isVisible());
    }
    Form.hide();
}

// The running number is never cut, whatever its number of digits; a clear
// gives the column its designed width back.
TEST_F(LogViewer, TheNumberColumnFitsTheLargestNumber)
{
    const int Designed = Form.ListView->columnWidth(0);
    const int Margin = Form.ListView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Form.ListView) + 1;
    auto Fits = [&](int Number) {
        return Form.ListView->fontMetrics().horizontalAdvance(QString::number(Number)) + 2 * Margin
               <= Form.ListView->columnWidth(0);
    };
    int Added = 0;
    for (int Count : {9, 99, 9999, 10000, 123456}) {
        while (Added < Count) {
            Taken(Record("f"));
            ++Added;
        }
        EXPECT_TRUE(Fits(Count)) << Count << " rows, column " << Form.ListView->columnWidth(0);
        EXPECT_EQ(Form.CellText(Count - 1, 0), QString::number(Count));
    }
    EXPECT_GT(Form.ListView->columnWidth(0), Designed);
    Form.Clear();
    EXPECT_EQ(Form.ListView->columnWidth(0), Designed);
    Taken(Record("again"));
    EXPECT_TRUE(Fits(1));
}

} // namespace
