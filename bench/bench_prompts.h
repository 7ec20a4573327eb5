#pragma once
// Answers for the editor benchmarks, in place of a person.

#include "editor/find_replace_dlg.h"
#include "editor/user_prompts.h"

#include <QLineEdit>
#include <QPushButton>

// Answers every question with No (a plain message with OK) and accepts no
// dialog.
class NoPrompts : public UserPrompts {
public:
    PromptAnswer message(QWidget *, const QString &, const QString &, PromptIcon, PromptButtons buttons) override
    {
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::No;
    }
    QString openFileName(QWidget *, const FileDialogRequest &) override { return QString(); }
    QString saveFileName(QWidget *, const FileDialogRequest &) override { return QString(); }
    QString folderName(QWidget *, const QString &, const QString &) override { return QString(); }
    bool runDialog(QDialog &) override { return false; }
};

// Answers OK and keeps the message; the Find and Replace dialog replaces
// every space with "_" (Replace All).
class ReplacePrompts : public UserPrompts {
public:
    PromptAnswer message(QWidget *, const QString &text, const QString &, PromptIcon, PromptButtons) override
    {
        lastMessage = text;
        return PromptAnswer::Ok;
    }
    QString openFileName(QWidget *, const FileDialogRequest &) override { return QString(); }
    QString saveFileName(QWidget *, const FileDialogRequest &) override { return QString(); }
    QString folderName(QWidget *, const QString &, const QString &) override { return QString(); }
    bool runDialog(QDialog &dialog) override
    {
        auto &replace = static_cast<CFindReplaceDlg &>(dialog);
        replace.findEdit()->setText(QStringLiteral(" "));
        replace.replaceEdit()->setText(QStringLiteral("_"));
        replace.replaceAllButton()->click();
        return false;
    }
    QString lastMessage;
};
