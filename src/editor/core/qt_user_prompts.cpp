#include "editor/core/qt_user_prompts.h"

#include "editor/core/progress_dlg.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Stop: return QMessageBox::Critical;
    case PromptIcon::Exclamation: return QMessageBox::Warning;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Information: break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons boxButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

QString runFileDialog(QWidget *owner, const FileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, request.caption);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(request.filter);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    const QFileInfo start(request.startFolder);
    dialog.setDirectory(start.isDir() ? start.absoluteFilePath() : start.absolutePath());
    if (request.selectedFilter && mode == QFileDialog::AcceptSave && !request.defaultSuffix.isEmpty()) {
        // The suffix follows the chosen filter: "PO Files (*.po)" gives "po".
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
            static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)"));
            const QRegularExpressionMatch match = pattern.match(filter);
            if (match.hasMatch())
                dialog.setDefaultSuffix(match.captured(1));
        });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (request.selectedFilter)
        *request.selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}

} // namespace

PromptAnswer QtUserPrompts::message(QWidget *owner, const QString &text, const QString &caption, PromptIcon icon,
                                    PromptButtons buttons)
{
    QMessageBox box(boxIcon(icon), caption, text, boxButtons(buttons), owner);
    if (buttons == PromptButtons::YesNoCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    default: return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    }
}

int QtUserPrompts::choose(QWidget *owner, const QString &text, const QString &caption, PromptIcon icon,
                          const QStringList &buttons, int escape)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::NoButton, owner);
    QList<QPushButton *> pushed;
    for (const QString &label : buttons)
        pushed.append(box.addButton(label, pushed.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    // Enter and Esc both take the choice that loses nothing.
    if (escape >= 0 && escape < pushed.size()) {
        box.setDefaultButton(pushed[escape]);
        box.setEscapeButton(pushed[escape]);
    }
    box.exec();
    const int index = int(pushed.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return index >= 0 ? index : escape;
}

QString QtUserPrompts::openFileName(QWidget *owner, const FileDialogRequest &request)
{
    return runFileDialog(owner, request, QFileDialog::AcceptOpen);
}

QString QtUserPrompts::saveFileName(QWidget *owner, const FileDialogRequest &request)
{
    return runFileDialog(owner, request, QFileDialog::AcceptSave);
}

QString QtUserPrompts::folderName(QWidget *owner, const QString &caption, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(owner, caption, startFolder);
}

bool QtUserPrompts::runDialog(QDialog &dialog) { return dialog.exec() == QDialog::Accepted; }

std::unique_ptr<ProgressReporter> QtUserPrompts::progress(QWidget *owner, const QString &caption)
{
    return std::make_unique<CProgressDlg>(owner, caption);
}
