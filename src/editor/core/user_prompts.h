#pragma once
// Everything the editor asks or tells the user goes through this interface:
// message boxes, file and folder choosers, and modal dialogs. The program
// uses Qt's own dialogs (QtUserPrompts); tests put scripted answers in.

#include "catalogue/progress_reporter.h"

#include <QString>
#include <QStringList>
#include <memory>

class QDialog;
class QWidget;

enum class PromptIcon { Stop, Exclamation, Information, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    QString caption;      // empty: the toolkit's default caption
    QString startFolder;  // a folder or a file in it
    QString filter;       // "XML Files (*.xml)"
    QString defaultSuffix;  // save dialogs: appended when the name has none
    // When set, receives the filter the user chose (one of several given
    // as "A (*.a);;B (*.b)"); a save dialog then appends that filter's
    // suffix in place of defaultSuffix.
    QString *selectedFilter = nullptr;
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A message box owned by `owner`; returns the button pressed (closing the
    // box counts as Cancel, or No when there is no Cancel button).
    virtual PromptAnswer message(QWidget *owner, const QString &text, const QString &caption, PromptIcon icon,
                                 PromptButtons buttons) = 0;
    // A question whose buttons carry texts of their own ("Reload", "Keep
    // Mine"), in order; returns the index of the button pressed. `escape`
    // is the choice that loses nothing: Enter, Esc and closing the box give
    // it, and so do prompts that cannot ask.
    virtual int choose(QWidget *owner, const QString &text, const QString &caption, PromptIcon icon,
                       const QStringList &buttons, int escape)
    {
        Q_UNUSED(owner);
        Q_UNUSED(text);
        Q_UNUSED(caption);
        Q_UNUSED(icon);
        Q_UNUSED(buttons);
        return escape;
    }
    // A path chosen by the user, or empty when cancelled.
    virtual QString openFileName(QWidget *owner, const FileDialogRequest &request) = 0;
    virtual QString saveFileName(QWidget *owner, const FileDialogRequest &request) = 0;
    virtual QString folderName(QWidget *owner, const QString &caption, const QString &startFolder) = 0;
    // Runs a modal dialog of the program; true when it was accepted.
    virtual bool runDialog(QDialog &dialog) = 0;
    // Progress of a long operation, shown from its show() until the reporter
    // is destroyed; null shows nothing.
    virtual std::unique_ptr<ProgressReporter> progress(QWidget *owner, const QString &caption)
    {
        Q_UNUSED(owner);
        Q_UNUSED(caption);
        return nullptr;
    }
};
