#pragma once
// The prompts of the running program: QMessageBox and QFileDialog.

#include "editor/core/user_prompts.h"

class QtUserPrompts : public UserPrompts {
public:
    PromptAnswer message(QWidget *owner, const QString &text, const QString &caption, PromptIcon icon,
                         PromptButtons buttons) override;
    int choose(QWidget *owner, const QString &text, const QString &caption, PromptIcon icon,
               const QStringList &buttons, int escape) override;
    QString openFileName(QWidget *owner, const FileDialogRequest &request) override;
    QString saveFileName(QWidget *owner, const FileDialogRequest &request) override;
    QString folderName(QWidget *owner, const QString &caption, const QString &startFolder) override;
    bool runDialog(QDialog &dialog) override;
    std::unique_ptr<ProgressReporter> progress(QWidget *owner, const QString &caption) override;
};
