#include "editor_fixture.h"

#include "test_support.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QLineEdit>
#include <QTest>

EditorFixture::EditorFixture()
{
    setTheDocument(&document);
    view = new CRendaroView(prompts);
    features = std::make_unique<EditorFeatures>(*view, &commands);
    view->bindCommands(commands);
    grid = view->grid();
    view->resize(800, 600);
    view->show();
}

EditorFixture::~EditorFixture()
{
    features.reset();
    delete view;
    setTheDocument(nullptr);
}

void EditorFixture::run(Command command) { emit commands.action(command)->triggered(); }

void EditorFixture::drop(const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the widget: a drop sent through the application wants a drag under way.
    static_cast<QObject *>(view)->event(&event);
}

QString EditorFixture::writeLanguageFile(const QString &name, const QList<QByteArray> &lines,
                                         const QByteArray &rootAttributes)
{
    const QString filePath = path(name);
    writeBytes(filePath, languageFile(rootAttributes, lines));
    return filePath;
}

bool EditorFixture::open(const QString &filePath)
{
    return view->OpenPath(filePath) == CRendaroView::OpenResult::Opened;
}

void EditorFixture::openFolder(const QString &folder)
{
    prompts.answer(PromptAnswer::Ok);
    prompts.chooseFile(folder);
    prompts.onDialog([](QDialog &dialog) {
        dialog.accept();
        return true;
    });
    features->folder().OnOpenLanguageFolder();
}

void EditorFixture::showReference(const QString &original, const QString &translation)
{
    EntryMap reference;
    StringEntry entry;
    entry.original = original;
    entry.translation = translation;
    reference.emplace(entry.original, entry);
    view->SetReferenceEntries(reference);
    view->RefreshGrid();
}

void EditorFixture::clickCell(int row, int column, Qt::MouseButton button)
{
    const QRect rect = grid->visualRect(grid->rowModel()->index(row, column));
    QTest::mouseClick(grid->viewport(), button, Qt::NoModifier, rect.center());
}

void EditorFixture::editTranslation(int row, const QString &text)
{
    grid->StartEdit(1, row);
    grid->editor()->setText(text);
    QTest::keyClick(grid->editor(), Qt::Key_Return);
}

int EditorFixture::rowOf(const QString &original) const
{
    for (int row = 0; row < grid->GetItemCount(); ++row) {
        if (grid->GetItemText(row, 0) == original)
            return row;
    }
    return -1;
}

QString EditorFixture::storedTranslation(const QString &original) const
{
    return document.GetTranslation(view->currentCatalogueId(), original);
}

int EditorFixture::storedTranslatable(const QString &original) const
{
    const CXMLStruct *catalogue = document.findCatalogue(view->currentCatalogueId());
    if (!catalogue)
        return -1;
    const auto it = catalogue->entries.find(original);
    return it != catalogue->entries.end() ? it->second.translatable : -1;
}

QByteArray fileBytes(const QString &path) { return readBytes(path); }
