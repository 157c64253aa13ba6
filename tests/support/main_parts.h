// The main window's components, found by their names as any tool that
// drives the window finds them.
#pragma once

#include "forms/fMain.h"
#include "forms/uStatusPanels.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>
#include <string>

class TMainParts {
public:
    TMainParts() = default;
    explicit TMainParts(const TFormMain& Form)
        : FForm(&Form)
    {
#define SORVIK_FIND_COMPONENT(Type, Name) Name = Find<Type>(#Name);
        SORVIK_MAIN_WINDOW_COMPONENTS(SORVIK_FIND_COMPONENT)
#undef SORVIK_FIND_COMPONENT
    }

    // The components of one hash row.
    THashRow HashRow(THashType T) const
    {
        static const char* const Suffix[HashTypeCount]
            = { "", "CRC32", "MD2", "MD4", "MD5", "SHA1", "SHA256", "SHA512", "RMD128", "RMD160", "ED2K" };
        const QString S = QString::fromLatin1(Suffix[T]);
        THashRow R;
        R.Edit = Find<QLineEdit>("Edit" + S);
        R.CheckBox = Find<QCheckBox>("CheckBox" + S);
        R.CopyButton = Find<QToolButton>("SB_Copy" + S);
        R.CompareButton = Find<QToolButton>("SB_Compare" + S);
        R.SelectButton = Find<QToolButton>("SB_Select" + S);
        return R;
    }

    // The hash types whose rows are checked.
    THashTypes CheckedHashTypes() const
    {
        THashTypes Types = 0;
        for (int T = htFirst; T <= htLast; ++T)
            if (HashRow(static_cast<THashType>(T)).CheckBox->isChecked())
                IncludeHashType(Types, static_cast<THashType>(T));
        return Types;
    }
    // The status text, or the hint that came after it.
    QString StatusText() const { return StatusBar->PanelText(5); }
    // Every action of the window's design.
    QList<QAction*> Actions() const
    {
        QList<QAction*> List;
#define SORVIK_LIST_ACTION(Type, Name) \
        if (auto* A = qobject_cast<QAction*>(Name)) \
            List.append(A);
        SORVIK_MAIN_WINDOW_COMPONENTS(SORVIK_LIST_ACTION)
#undef SORVIK_LIST_ACTION
        return List;
    }

#define SORVIK_DECLARE_COMPONENT(Type, Name) Type* Name = nullptr;
    SORVIK_MAIN_WINDOW_COMPONENTS(SORVIK_DECLARE_COMPONENT)
#undef SORVIK_DECLARE_COMPONENT

private:
    template <class T> T* Find(const QString& Name) const
    {
        T* P = FForm->findChild<T*>(Name);
        if (!P)
            throw std::logic_error("no component " + Name.toStdString());
        return P;
    }
    template <class T> T* Find(const char* Name) const { return Find<T>(QString::fromLatin1(Name)); }
    const TFormMain* FForm = nullptr;
};

inline TMainParts Parts(const TFormMain* Form) { return TMainParts(*Form); }
