#include "dialog_support.h"
#include "forms/fSettings.h"
#include "support/design_texts.h"
#include "support/recorded_interaction.h"

#include <QCheckBox>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace dialogtest;

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

// One check box and the setting it mirrors.
struct TOption {
    const char* CheckBox;
    std::function<bool&(TSettings&)> Field;         // a plain setting
    TFormLocationTracker* (*Tracker)(TSettings&);   // or a tracker's Enabled
};

bool Get(const TOption& O, TSettings& S) { return O.Tracker ? O.Tracker(S)->Enabled() : O.Field(S); }
void Set(const TOption& O, TSettings& S, bool V)
{
    if (O.Tracker)
        O.Tracker(S)->SetEnabled(V);
    else
        O.Field(S) = V;
}

const std::vector<TOption>& Options()
{
    static const std::vector<TOption> List = {
        {"CB_StayOnTop", [](TSettings& S) -> bool& { return S.StayOnTop; }, nullptr},
        {"CB_UpperCaseHash", [](TSettings& S) -> bool& { return S.UpperCaseHash; }, nullptr},
        {"CB_ShowToolbarCaptions", [](TSettings& S) -> bool& { return S.ToolbarCaptions; }, nullptr},
        {"CB_RememberLocationMainWindow", nullptr, [](TSettings& S) { return S.MainFormLocation.get(); }},
        {"CB_RememberLocationLogViewer", nullptr, [](TSettings& S) { return S.LogViewerLocation.get(); }},
        {"CB_IncludeHeaderInLogViewerExport", [](TSettings& S) -> bool& { return S.IncludeHeaderInExport; },
         nullptr},
    };
    return List;
}

QCheckBox* Box(TFormSettings& Form, const TOption& O)
{
    return Form.findChild<QCheckBox*>(Str(O.CheckBox));
}

QPushButton* Button(TFormSettings& Form, const char* Name) { return Form.findChild<QPushButton*>(Str(Name)); }

} // namespace

TEST(SettingsDialog, EachCheckBoxShowsItsSettingWhenOpened)
{
    TSettingsGuard Guard;
    TFormSettings Form;
    // Each option on alone, so that a box wired to the wrong setting shows.
    for (size_t On = 0; On < Options().size(); ++On) {
        for (size_t I = 0; I < Options().size(); ++I)
            Set(Options()[I], Guard.Object, I == On);
        RunModal(Form, [&] {
            for (size_t I = 0; I < Options().size(); ++I) {
                QCheckBox* C = Box(Form, Options()[I]);
                ASSERT_NE(C, nullptr) << Options()[I].CheckBox;
                EXPECT_EQ(C->isChecked(), I == On) << Options()[I].CheckBox << " with " << Options()[On].CheckBox;
            }
            Form.reject();
        });
    }
}

TEST(SettingsDialog, SaveStoresEveryOptionAndAppliesTheSettingsOnce)
{
    for (size_t On = 0; On < Options().size(); ++On) {
        SCOPED_TRACE(Options()[On].CheckBox);
        TSettingsGuard Guard;
        for (const TOption& O : Options())
            Set(O, Guard.Object, false);
        TFormSettings Form;
        TRecordingMain Main{Form};
        // What the main window finds in the settings when it applies them.
        bool SeenWhenApplied = false;
        Main.OnApply = [&] { SeenWhenApplied = Get(Options()[On], Guard.Object); };

        const int Result = RunModal(Form, [&] {
            QTest::mouseClick(Box(Form, Options()[On]), Qt::LeftButton, {}, QPoint(6, Box(Form, Options()[On])->height() / 2));
            QTest::mouseClick(Button(Form, "BB_Save"), Qt::LeftButton);
        });

        EXPECT_EQ(Result, QDialog::Accepted);
        for (size_t I = 0; I < Options().size(); ++I)
            EXPECT_EQ(Get(Options()[I], Guard.Object), I == On) << Options()[I].CheckBox;
        EXPECT_EQ(Main.Applied, std::vector<bool>{false});
        EXPECT_TRUE(SeenWhenApplied);
    }
}

TEST(SettingsDialog, CancelChangesNothingAndTheNextOpeningShowsTheStoredValues)
{
    TSettingsGuard Guard;
    Guard.Object.UpperCaseHash = true;
    Guard.Object.StayOnTop = false;
    TFormSettings Form;
    TRecordingMain Main{Form};
    QCheckBox* Upper = Form.findChild<QCheckBox*>(Str("CB_UpperCaseHash"));
    QCheckBox* OnTop = Form.findChild<QCheckBox*>(Str("CB_StayOnTop"));
    ASSERT_TRUE(Upper && OnTop);

    int Result = RunModal(Form, [&] {
        Upper->setChecked(false);
        OnTop->setChecked(true);
        QTest::mouseClick(Button(Form, "BB_Cancel"), Qt::LeftButton);
    });
    EXPECT_EQ(Result, QDialog::Rejected);
    EXPECT_TRUE(Guard.Object.UpperCaseHash);
    EXPECT_FALSE(Guard.Object.StayOnTop);

    Result = RunModal(Form, [&] {
        EXPECT_TRUE(Upper->isChecked());
        EXPECT_FALSE(OnTop->isChecked());
        Upper->setChecked(false);
        QWidget* Focus = QApplication::focusWidget();
        QTest::keyClick(Focus ? Focus : static_cast<QWidget*>(&Form), Qt::Key_Escape);
    });
    EXPECT_EQ(Result, QDialog::Rejected);
    EXPECT_TRUE(Guard.Object.UpperCaseHash);

    // Settings changed elsewhere between two openings are shown too.
    Guard.Object.UpperCaseHash = false;
    RunModal(Form, [&] {
        EXPECT_FALSE(Upper->isChecked());
        Form.reject();
    });
    EXPECT_TRUE(Main.Applied.empty());
}

TEST(SettingsDialog, SaveWithoutAMainWindowStillStores)
{
    TSettingsGuard Guard;
    Guard.Object.ToolbarCaptions = false;
    TFormSettings Form;
    const int Result = RunModal(Form, [&] {
        Form.findChild<QCheckBox*>(Str("CB_ShowToolbarCaptions"))->setChecked(true);
        QTest::keyClick(Button(Form, "BB_Save"), Qt::Key_Space);
    });
    EXPECT_EQ(Result, QDialog::Accepted);
    EXPECT_TRUE(Guard.Object.ToolbarCaptions);
}

TEST(SettingsDialog, AFailureWhileApplyingIsShownAndTheChoicesStayStored)
{
    TSettingsGuard Guard;
    TFormSettings Form;
    TRecordingMain Main{Form};
    Main.OnApply = [] { throw std::runtime_error("cannot apply"); };
    QStringList Errors;
    auto User = std::make_unique<TRecordedInteraction>();
    User->OnError = [&](const QString& Text) { Errors << Text; };
    const int Result = RunModal(Form, [&] {
        Form.findChild<QCheckBox*>(Str("CB_UpperCaseHash"))->setChecked(true);
        QTest::mouseClick(Button(Form, "BB_Save"), Qt::LeftButton);
    });
    User.reset();
    EXPECT_EQ(Result, QDialog::Accepted);
    EXPECT_TRUE(Guard.Object.UpperCaseHash);
    EXPECT_EQ(Errors, QStringList{Str("cannot apply")});
}

// On the main window, whichever window is active.
TEST(SettingsDialog, OpensCentredOnTheMainWindow)
{
    TSettingsGuard Guard;
    QMainWindow Main;
    Main.setGeometry(100, 120, 700, 500);
    Main.show();
    QWidget Other;
    Other.setGeometry(500, 300, 200, 150);
    Other.show();
    Other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Other));
    TFormSettings Form;
    QPoint Centre;
    RunModal(Form, [&] {
        Centre = Form.frameGeometry().center();
        Form.reject();
    });
    const QPoint Expected = Main.frameGeometry().center();
    EXPECT_LE((Centre - Expected).manhattanLength(), 1)
        << Centre.x() << "," << Centre.y() << " vs " << Expected.x() << "," << Expected.y();
}

TEST(SettingsDialog, EnterSavesFromACheckBox)
{
    TSettingsGuard Guard;
    Guard.Object.StayOnTop = false;
    TFormSettings Form;
    TRecordingMain Main{Form};
    const int Result = RunModal(Form, [&] {
        QCheckBox* OnTop = Form.findChild<QCheckBox*>(Str("CB_StayOnTop"));
        OnTop->setFocus();
        QTest::keyClick(OnTop, Qt::Key_Space);
        QTest::keyClick(OnTop, Qt::Key_Return);
    });
    EXPECT_EQ(Result, QDialog::Accepted);
    EXPECT_TRUE(Guard.Object.StayOnTop);
    EXPECT_EQ(Main.Applied.size(), 1u);
}
