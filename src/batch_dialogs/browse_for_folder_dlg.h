#pragma once
// The folder chooser of the batch tools: a prompt, a folder to start on,
// and the chosen folder. It is no window of its own; the chooser shown is
// the one of the UserPrompts it is given (Qt's folder dialog in the program,
// a scripted answer in the tests).

#include <QString>

class QWidget;
class UserPrompts;

// Flags the callers pass; kept with the chooser for the caller's record.
enum FolderBrowseFlags : unsigned {
    BrowseNewDialogStyle = 0x40,      // "Apply to..."
    BrowseNoNewFolderButton = 0x200,  // the generate-and-pack dialog
};

class CBrowseForFolderDlg {
public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;

    CBrowseForFolderDlg(UserPrompts &prompts, QWidget *owner, unsigned flags, const QString &title,
                        const QString &initialFolder);
    virtual ~CBrowseForFolderDlg() = default;

    // IDOK when a folder was chosen, IDCANCEL when the chooser was cancelled
    // (the folder path then stays as it was).
    int DoModal();
    QString GetFolderPath() const { return m_folderPath; }
    unsigned flags() const { return m_flags; }

private:
    UserPrompts &m_prompts;
    QWidget *m_owner;
    unsigned m_flags;
    QString m_title;
    QString m_initialFolder;  // empty: the chooser's own start folder
    QString m_folderPath;
};
