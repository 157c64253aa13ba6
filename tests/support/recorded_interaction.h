// Stands in for the user at every box and file chooser while it lives:
// records what the boxes would have said and answers the choosers with
// Choose (nothing chosen when it is empty), so that no test waits.
#pragma once

#include "app/uUserInteraction.h"

#include <QFileDialog>

#include <functional>
#include <vector>

class TRecordedInteraction : public TUserInteraction {
public:
    TRecordedInteraction() : FPrevious(SetUserInteraction(this)) {}
    ~TRecordedInteraction() override { SetUserInteraction(FPrevious); }
    TRecordedInteraction(const TRecordedInteraction&) = delete;
    TRecordedInteraction& operator=(const TRecordedInteraction&) = delete;

    void ErrorBox(const QString& Text) override { Record(Errors, OnError, Text); }
    void WarningBox(const QString& Text) override { Record(Warnings, OnWarning, Text); }
    void InformationBox(QWidget*, const QString& Text) override { Record(Infos, OnInformation, Text); }
    QStringList ChooseFiles(QFileDialog& Dialog) override
    {
        Choosers.push_back(Dialog.objectName());
        return Choose ? Choose(Dialog) : QStringList();
    }

    std::vector<QString> Errors, Warnings, Infos;
    // The object names of the choosers run, in order.
    std::vector<QString> Choosers;
    std::function<QStringList(QFileDialog& Dialog)> Choose;
    // Called as each box would show, after it is recorded.
    std::function<void(const QString& Text)> OnError, OnWarning, OnInformation;

private:
    static void Record(std::vector<QString>& List, const std::function<void(const QString&)>& Hook, const QString& Text)
    {
        List.push_back(Text);
        if (Hook)
            Hook(Text);
    }
    TUserInteraction* FPrevious;
};
