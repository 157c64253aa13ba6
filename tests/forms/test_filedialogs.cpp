// Qt's file dialog as the program prepares it, in both directions: the
// patterns it appends still filter, and in a right-to-left layout paths,
// sizes and dates read left to right.
#include "forms/uFileDialogs.h"
#include "platform/qt/uTextDirection.h"
#include "support/text_direction.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

bool WriteFile(const QTemporaryDir& Dir, const char* Name, const QByteArray& Bytes)
{
    QFile F(Dir.filePath(Str(Name)));
    return F.open(QIODevice::WriteOnly) && F.write(Bytes) == Bytes.size();
}

struct TDirectionScope {
    explicit TDirectionScope(Qt::LayoutDirection D) { QGuiApplication::setLayoutDirection(D); }
    ~TDirectionScope() { QGuiApplication::setLayoutDirection(Qt::LeftToRight); }
};

// The dialog's row for Name in Folder, once its size is known.
QModelIndex ShownRow(QFileDialog& D, const QString& Folder, const QString& Name)
{
    auto* Files = D.findChild<QFileSystemModel*>();
    if (!Files)
        return {};
    const QString Path = Folder + QLatin1Char('/') + Name;
    if (!QTest::qWaitFor([&] { return Files->index(Path).isValid() && Files->size(Files->index(Path)) > 0; }, 5000))
        return {};
    return Files->index(Path);
}

// The toolkit's Hebrew for the size of a small file, as its file gives it.
class THebrewBytes : public QTranslator {
public:
    THebrewBytes() { QCoreApplication::installTranslator(this); }
    ~THebrewBytes() override { QCoreApplication::removeTranslator(this); }
    bool isEmpty() const override { return false; }
    QString translate(const char* Context, const char* Source, const char*, int) const override
    {
        return qstrcmp(Context, "QFileSystemModel") == 0 && qstrcmp(Source, "%1 bytes") == 0
                   ? QString::fromUtf8("%1 בתים")
                   : QString();
    }
};

} // namespace

TEST(FileDialogs, PatternsFilterInBothDirections)
{
    QTemporaryDir Dir;
    for (const char* Name : {"a.sfv", "b.txt"}) {
        ASSERT_TRUE(WriteFile(Dir, Name, "abc"));
    }
    for (const Qt::LayoutDirection Direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        SCOPED_TRACE(Direction);
        TDirectionScope Scope(Direction);
        const QString Filter = FileDialogFilter(Str("קובץ SFV"), Str("*.sfv"));
        EXPECT_TRUE(Filter.endsWith(Str("(*.sfv)")));
        if (Direction == Qt::LeftToRight)
            EXPECT_EQ(Filter, Str("קובץ SFV (*.sfv)"));
        else
            EXPECT_TRUE(directiontest::ReadsLeftToRightInRightToLeft(Filter.mid(Filter.indexOf(QChar(0x2066)))));

        QFileDialog D(nullptr, Str("t"), Dir.path());
        PrepareFileDialog(D);
        D.setNameFilters({Filter, FileDialogFilter(Str("All"), Str("*"))});
        D.selectNameFilter(Filter);
        EXPECT_EQ(D.selectedNameFilter(), Filter);
        auto* Files = D.findChild<QFileSystemModel*>();
        ASSERT_NE(Files, nullptr);
        EXPECT_EQ(Files->nameFilters(), QStringList({Str("*.sfv")}));
    }
}

TEST(FileDialogs, SizesDatesAndPathsReadLeftToRight)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(WriteFile(Dir, "big.bin", QByteArray(10150, 'x')));
    ASSERT_TRUE(WriteFile(Dir, "small.bin", "abc"));
    for (const Qt::LayoutDirection Direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        SCOPED_TRACE(Direction);
        TDirectionScope Scope(Direction);
        QFileDialog D(nullptr, Str("t"), Dir.path());
        PrepareFileDialog(D);
        D.setViewMode(QFileDialog::Detail);
        D.setHistory({Str("/usr/share")});
        EXPECT_TRUE(D.testOption(QFileDialog::DontUseNativeDialog));
        D.show();
        auto* Tree = D.findChild<QTreeView*>(Str("treeView"));
        ASSERT_NE(Tree, nullptr);

        const QModelIndex Small = ShownRow(D, Dir.path(), Str("small.bin"));
        const QModelIndex Big = ShownRow(D, Dir.path(), Str("big.bin"));
        ASSERT_TRUE(Small.isValid() && Big.isValid());
        const QString SmallSize = FileDialogShownText(*Tree, Small.siblingAtColumn(1));
        const QString BigSize = FileDialogShownText(*Tree, Big.siblingAtColumn(1));
        const QString Date = FileDialogShownText(*Tree, Big.siblingAtColumn(3));
        EXPECT_EQ(directiontest::WithoutMarks(SmallSize), FileDialogSize(3));
        EXPECT_EQ(directiontest::WithoutMarks(BigSize), QLocale::system().formattedDataSize(10150));
        EXPECT_FALSE(Date.isEmpty());
        EXPECT_EQ(FileDialogShownText(*Tree, Small), Str("small.bin")); // names are left as Qt gives them

        auto* LookIn = D.findChild<QComboBox*>(Str("lookInCombo"));
        auto* FileName = D.findChild<QLineEdit*>(Str("fileNameEdit"));
        ASSERT_TRUE(LookIn && FileName && LookIn->view());
        // The path box's list: the folder, its parents, the earlier folders.
        LookIn->showPopup();
        QStringList Paths;
        for (int Row = 0; Row < LookIn->count(); ++Row) {
            const QString Shown = FileDialogShownText(*LookIn->view(), LookIn->model()->index(Row, 0));
            EXPECT_EQ(directiontest::WithoutMarks(Shown), LookIn->itemText(Row));
            if (Shown.contains(QLatin1Char('/')))
                Paths << Shown;
        }
        LookIn->hidePopup();
        EXPECT_TRUE(Paths.contains(LeftToRightUnit(Dir.path())) || Paths.contains(Dir.path())) << Paths.join(Str(" | ")).toStdString();
        EXPECT_TRUE(Paths.contains(LeftToRightUnit(Str("/usr/share"))) || Paths.contains(Str("/usr/share")));
        if (Direction == Qt::RightToLeft) {
            for (const QString& T : QStringList{SmallSize, BigSize, Date} + Paths)
                EXPECT_TRUE(directiontest::ReadsLeftToRightInRightToLeft(T)) << T.toStdString();
            EXPECT_EQ(FileName->layoutDirection(), Qt::LeftToRight);
            EXPECT_TRUE(D.isRightToLeft());
            EXPECT_TRUE(LookIn->isRightToLeft()); // the box itself stays in the layout's place
        } else {
            EXPECT_EQ(SmallSize, FileDialogSize(3));
            for (const QString& T : Paths)
                EXPECT_EQ(T, directiontest::WithoutMarks(T));
            EXPECT_EQ(FileName->layoutDirection(), Qt::LeftToRight);
        }

        // Choosing still works in the adjusted views: both rows picked in
        // the list are the files chosen.
        D.setFileMode(QFileDialog::ExistingFiles);
        Tree->selectionModel()->select(Small, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Tree->selectionModel()->select(Big, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QStringList Chosen = D.selectedFiles();
        Chosen.sort();
        EXPECT_EQ(Chosen, (QStringList{Dir.filePath(Str("big.bin")), Dir.filePath(Str("small.bin"))}));
        D.hide();
    }
}

// A size in the words of a right-to-left language: the number stands at the
// start, on the right, and the word after it; the number alone is isolated.
TEST(FileDialogs, HebrewSizeReadsNumberFirst)
{
    THebrewBytes Hebrew;
    TDirectionScope Scope(Qt::RightToLeft);
    QTemporaryDir Dir;
    ASSERT_TRUE(WriteFile(Dir, "small.bin", "abc"));
    QFileDialog D(nullptr, Str("t"), Dir.path());
    PrepareFileDialog(D);
    D.setViewMode(QFileDialog::Detail);
    D.show();
    auto* Tree = D.findChild<QTreeView*>(Str("treeView"));
    ASSERT_NE(Tree, nullptr);
    const QModelIndex Small = ShownRow(D, Dir.path(), Str("small.bin"));
    ASSERT_TRUE(Small.isValid());
    const QString Size = FileDialogShownText(*Tree, Small.siblingAtColumn(1));
    EXPECT_EQ(directiontest::WithoutMarks(Size), Str("3 בתים"));
    // From the left: the word's last letter to its first, then the number.
    EXPECT_TRUE(directiontest::DrawnRightToLeftAs(Size, Str("םיתב 3"))) << Size.toStdString();
    D.hide();
}
