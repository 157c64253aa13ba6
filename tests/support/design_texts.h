// Every text a window shows or offers as a hint, with where it sits, so a
// test can check that each one went through the design-text helper (for
// example under a pseudo-translation that marks every text).
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>

#include <utility>
#include <vector>

// (where, text) pairs; empty texts are left out.
inline std::vector<std::pair<QString, QString>> CollectDesignTexts(QWidget* Window)
{
    std::vector<std::pair<QString, QString>> Texts;
    auto Add = [&](const QObject* O, const char* What, const QString& Text) {
        if (!Text.isEmpty())
            Texts.emplace_back(O->objectName() + QLatin1Char('.') + QLatin1String(What), Text);
    };
    auto AddWidget = [&](QWidget* W) {
        Add(W, "toolTip", W->toolTip());
        Add(W, "statusTip", W->statusTip());
        if (auto* B = qobject_cast<QAbstractButton*>(W))
            Add(W, "text", B->text());
        if (auto* L = qobject_cast<QLabel*>(W))
            Add(W, "text", L->text());
        if (auto* G = qobject_cast<QGroupBox*>(W))
            Add(W, "title", G->title());
        if (auto* E = qobject_cast<QLineEdit*>(W)) {
            Add(W, "text", E->text());
            Add(W, "placeholderText", E->placeholderText());
        }
        if (auto* P = qobject_cast<QPlainTextEdit*>(W)) {
            Add(W, "plainText", P->toPlainText());
            Add(W, "placeholderText", P->placeholderText());
        }
        if (auto* M = qobject_cast<QMenu*>(W))
            Add(W, "title", M->title());
        if (auto* T = qobject_cast<QTabWidget*>(W))
            for (int I = 0; I < T->count(); ++I)
                Add(W, "tab", T->tabText(I));
        if (auto* T = qobject_cast<QTreeWidget*>(W))
            for (int I = 0; I < T->columnCount(); ++I)
                Add(W, "column", T->headerItem()->text(I));
        if (auto* T = qobject_cast<QTableWidget*>(W))
            for (int I = 0; I < T->columnCount(); ++I)
                if (T->horizontalHeaderItem(I))
                    Add(W, "column", T->horizontalHeaderItem(I)->text());
    };
    Add(Window, "windowTitle", Window->windowTitle());
    AddWidget(Window);
    for (QWidget* W : Window->findChildren<QWidget*>())
        AddWidget(W);
    for (QAction* A : Window->findChildren<QAction*>()) {
        if (A->isSeparator())
            continue;
        Add(A, "text", A->text());
        if (A->toolTip() != A->text() && A->toolTip() != QString(A->text()).remove(QLatin1Char('&')))
            Add(A, "toolTip", A->toolTip()); // Qt derives a tool tip from the text
        Add(A, "statusTip", A->statusTip());
    }
    return Texts;
}
