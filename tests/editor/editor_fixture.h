#pragma once
// A document, scripted prompts and a shown editor view for one test, with
// a temporary folder for the language files it opens.

#include "catalogue/document.h"
#include "editor/rendaro_view.h"
#include "scripted_prompts.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

class EditorFixture {
public:
    EditorFixture();
    ~EditorFixture();

    // Writes a language file (standard header, CR LF) with these lines
    // inside <Language rootAttributes>; returns its path.
    QString writeLanguageFile(const QString &name, const QList<QByteArray> &lines,
                              const QByteArray &rootAttributes = "AllowLength=\"2.000000\" CodeType=\"CPlus2\"");
    QString path(const QString &name) const { return m_folder.filePath(name); }
    // Opens the file in the view (as Open does after its dialog).
    bool open(const QString &path);
    // Open Language Folder on `folder` with every listed file chosen (no
    // save question expected).
    void openFolder(const QString &folder);
    // Shows `translation` in column 0 in place of `original` (as Replace
    // Original English does with a reference file holding that pair).
    void showReference(const QString &original, const QString &translation);

    // Clicks the middle of a cell of the grid.
    void clickCell(int row, int column, Qt::MouseButton button = Qt::LeftButton);
    // Opens the editor on the translation of `row`, types `text` and presses Enter.
    void editTranslation(int row, const QString &text);
    // The row whose column 0 shows `original`, -1 when none does.
    int rowOf(const QString &original) const;
    QString storedTranslation(const QString &original) const;
    int storedTranslatable(const QString &original) const;

    CRendaroDoc document;
    ScriptedPrompts prompts;
    CRendaroView *view = nullptr;
    CReportCtrl *grid = nullptr;

private:
    QTemporaryDir m_folder;
};

QByteArray fileBytes(const QString &path);
