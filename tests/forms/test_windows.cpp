// What every secondary window shares, as one table over the windows: every
// text it shows goes through the design-text helper, and Esc hides it.
#include "forms/fAbout.h"
#include "forms/fCompare.h"
#include "forms/fCompareFiles.h"
#include "forms/fLogViewer.h"
#include "forms/fSaveLog.h"
#include "forms/fSettings.h"
#include "forms/fText.h"
#include "pseudo_translation.h"
#include "settings_scope.h"
#include "support/design_texts.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

struct TWindowRow {
    const char* Class;
    std::function<std::unique_ptr<TSorvikForm>()> Make;
    // How many design texts the window has: at least, or exactly.
    std::size_t Texts;
    bool Exact = false;
    // A key the translator must have been asked for, or null.
    const char* Key = nullptr;
    // Texts that are the program's own, not design texts; and texts whose
    // design part is a prefix of what they show.
    std::function<bool(const QString& Where)> Own = nullptr, Prefixed = nullptr;
    // What else a window's texts must show.
    std::function<void(TSorvikForm& Form)> Also = nullptr;
    // Hidden by Esc at the focused control.
    bool EscHides = true;
};

template <typename T>
std::function<std::unique_ptr<TSorvikForm>()> Make()
{
    return [] { return std::make_unique<T>(); };
}

bool StartsWithAny(const QString& Where, std::initializer_list<const char*> Prefixes)
{
    for (const char* P : Prefixes)
        if (Where.startsWith(Str(P)))
            return true;
    return false;
}

const std::vector<TWindowRow>& Windows()
{
    static const std::vector<TWindowRow> Rows = {
        {.Class = "TFormAbout", .Make = Make<TFormAbout>(), .Texts = 6, .Exact = true,
         // The name, the version and date behind their prefixes, and the
         // authors and links are the program's own, not design texts.
         .Own = [](const QString& W)
         { return StartsWithAny(W, {"Label_Title.", "Label_Author.", "Label_Email.", "Label_Website."}); },
         .Prefixed = [](const QString& W) { return StartsWithAny(W, {"Label_Version.", "Label_Date."}); }},
        {.Class = "TFormCompare", .Make = Make<TFormCompare>(), .Texts = 6,
         .Key = "TFORMCOMPARE.CB_COMPARETOANYHASH.CAPTION"},
        {.Class = "TFormCompareFiles", .Make = Make<TFormCompareFiles>(), .Texts = 4},
        {.Class = "TFormLogViewer", .Make = Make<TFormLogViewer>(), .Texts = 2,
         .Key = "TFORMLOGVIEWER.LISTVIEW.COLUMNS[2].CAPTION",
         .Also =
             [](TSorvikForm& Form) {
                 const QAbstractItemModel* Model = static_cast<TFormLogViewer&>(Form).ListView->model();
                 for (int C = 0; C < 3; ++C)
                     EXPECT_TRUE(TPseudoTranslation::IsMarked(Model->headerData(C, Qt::Horizontal).toString()));
                 // The hash columns carry the type names, which are never translated.
                 EXPECT_EQ(Model->headerData(3, Qt::Horizontal).toString(), Str("CRC32"));
             },
         // Esc is an ordinary key there, tested with the window.
         .EscHides = false},
        // The two modal dialogs' Esc is a cancel, tested with what it keeps.
        {.Class = "TFormSaveLog", .Make = Make<TFormSaveLog>(), .Texts = 8, .EscHides = false},
        // Caption, six boxes, two buttons.
        {.Class = "TFormSettings", .Make = Make<TFormSettings>(), .Texts = 9, .Exact = true, .EscHides = false},
        {.Class = "TFormText", .Make = Make<TFormText>(), .Texts = 6, .Key = "TFORMTEXT.RB_ENCODINGUNICODE.CAPTION",
         .EscHides = false},
    };
    return Rows;
}

} // namespace

TEST(Windows, EveryTextGoesThroughTheDesignHelper)
{
    for (const TWindowRow& Row : Windows()) {
        SCOPED_TRACE(Row.Class);
        TSettingsScope Scope;
        TPseudoTranslation Pseudo;
        const std::unique_ptr<TSorvikForm> Form = Row.Make();
        const auto Texts = CollectDesignTexts(Form.get());
        std::size_t Designed = 0;
        for (const auto& [Where, Text] : Texts) {
            if (Row.Own && Row.Own(Where))
                continue;
            ++Designed;
            if (Row.Prefixed && Row.Prefixed(Where)) {
                EXPECT_TRUE(Text.startsWith(QChar(0xbb))) << Where.toStdString();
                EXPECT_TRUE(Text.contains(QChar(0xab))) << Where.toStdString();
                continue;
            }
            EXPECT_TRUE(TPseudoTranslation::IsMarked(Text)) << Where.toStdString() << ": " << Text.toStdString();
        }
        if (Row.Exact) {
            EXPECT_EQ(Designed, Row.Texts);
        } else {
            EXPECT_GE(Designed, Row.Texts);
        }
        if (Row.Key) {
            EXPECT_TRUE(Pseudo.Keys.contains(Str(Row.Key))) << Row.Key;
        }
        if (Row.Also)
            Row.Also(*Form);
    }
}

TEST(Windows, EscHidesTheWindow)
{
    for (const TWindowRow& Row : Windows()) {
        if (!Row.EscHides)
            continue;
        SCOPED_TRACE(Row.Class);
        TSettingsScope Scope;
        const std::unique_ptr<TSorvikForm> Form = Row.Make();
        Form->ShowAndRaise();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        QWidget* Focus = QApplication::focusWidget();
        QTest::keyClick(Focus ? Focus : static_cast<QWidget*>(Form.get()), Qt::Key_Escape);
        EXPECT_FALSE(Form->isVisible());
    }
}
