#pragma once
// Answers for the editor benchmarks, in place of a person, and the editor
// as the program builds it.

#include "editor/core/command_actions.h"
#include "editor/core/rendaro_view.h"
#include "editor/core/user_prompts.h"
#include "editor/editor_features.h"
#include "editor/search/find_replace_dlg.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

// The view with every feature plugged in and the commands bound, without
// the main window around it.
class BenchEditor {
public:
    explicit BenchEditor(UserPrompts &prompts)
        : view(new CRendaroView(prompts)), features(std::make_unique<EditorFeatures>(*view, &commands))
    {
        view->bindCommands(commands);
    }
    ~BenchEditor()
    {
        features.reset();
        delete view;
    }
    // As the command's menu item does.
    void run(Command command) { emit commands.action(command)->triggered(); }

    CommandActions commands;
    CRendaroView *view;
    std::unique_ptr<EditorFeatures> features;
};

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
