#pragma once
// UserPrompts for tests: answers come from a script queued by the test, and
// every message box is recorded. A question, file dialog or dialog that the
// script does not expect fails the test. Message boxes with only an OK
// button need no script entry; they are recorded like the others.

#include "editor/core/user_prompts.h"

#include <QList>
#include <QString>
#include <functional>

struct ShownMessage {
    QString text;
    QString caption;
    PromptIcon icon;
    PromptButtons buttons;
    QStringList choices;  // the buttons of a question with buttons of its own
};

class ScriptedPrompts : public UserPrompts {
public:
    // The next question is answered with `answer`.
    void answer(PromptAnswer answer);
    // The next question with buttons of its own is answered with the button
    // of this text.
    void pressButton(const QString &text);
    // The next file dialog returns `path` (empty: cancelled).
    void chooseFile(const QString &path);
    // The next file dialog that asks for the chosen filter reports this one
    // (without a script entry: the first filter of the request).
    void chooseFilter(const QString &filter);
    // The next dialog run is handed to `script`; its result says whether the
    // dialog was accepted (the script may fill in the dialog's controls and
    // call accept() itself).
    void onDialog(std::function<bool(QDialog &)> script);

    // Called for every message box as it is shown, before it is answered.
    std::function<void(const ShownMessage &)> onMessage;
    QList<ShownMessage> messages;        // every message box, in order
    // Every progress shown, as lines: "[caption]", "total N", "show", each
    // step's text, "closed".
    QStringList progressLog;
    // The progress shown next reports itself cancelled after this many
    // steps (-1: never); it is logged as "cancel offered" when offered.
    int cancelProgressAfter = -1;
    QList<FileDialogRequest> fileDialogs;  // every file dialog, in order
    // Texts of the messages shown so far; clears the record.
    QStringList takeTexts();
    // True when every scripted answer was used.
    bool scriptUsed() const;

    PromptAnswer message(QWidget *owner, const QString &text, const QString &caption, PromptIcon icon,
                         PromptButtons buttons) override;
    int choose(QWidget *owner, const QString &text, const QString &caption, PromptIcon icon,
               const QStringList &buttons, int escape) override;
    QString openFileName(QWidget *owner, const FileDialogRequest &request) override;
    QString saveFileName(QWidget *owner, const FileDialogRequest &request) override;
    QString folderName(QWidget *owner, const QString &caption, const QString &startFolder) override;
    bool runDialog(QDialog &dialog) override;
    std::unique_ptr<ProgressReporter> progress(QWidget *owner, const QString &caption) override;

private:
    QString nextFile(const char *what);
    QList<PromptAnswer> m_answers;
    QList<QString> m_files;
    QStringList m_buttons;
    QList<QString> m_filters;
    void reportFilter(const FileDialogRequest &request);
    QList<std::function<bool(QDialog &)>> m_dialogs;
};
