#include "CollectionImport.h"

#include "AtomicFile.h"
#include "Book.h"
#include "BookStore.h"
#include "CapturedPages.h"
#include "FileDialogs.h"
#include "ItemDisplay.h"
#include "Prompter.h"
#include "StagedFiles.h"
#include "TreeCommands.h"
#include "TreeString.h"

#include <QDir>

namespace kobin {

namespace {

const QString kImportTitle = QStringLiteral("他のソフトから取り込み");

// What has been moved out of the staging folder, moved back should a later move fail.
class Moves
{
public:
    bool move(const QString &from, const QString &to)
    {
        if (!QDir().rename(from, to))
            return false;
        m_done.emplace_back(from, to);
        return true;
    }
    void undo()
    {
        for (auto it = m_done.rbegin(); it != m_done.rend(); ++it)
            std::ignore = QDir().rename(it->second, it->first);
        m_done.clear();
    }

private:
    std::vector<std::pair<QString, QString>> m_done;
};

} // namespace

void CollectionImport::refuse(const QString &message)
{
    m_services.prompter.inform(PromptIcon::Exclamation, kImportTitle, message);
}

bool CollectionImport::run(const ProgressShower &showProgress)
{
    Book &book = m_services.book;
    const TreeItem *selected = book.tree().selectedItem();
    if (!selected)
        return false;
    if (!hasOwnBookFolder(book.bookName())) {
        refuse(QStringLiteral("他のソフトから取り込むには、先にブックを保存してください。"));
        return false;
    }
    FileDialogRequest request;
    request.title = kImportTitle;
    request.filter = QStringLiteral("ScrapBook X・WebScrapBook・Evernote・CherryTree・Zim・TreeLine・Joplin (scrapbook.rdf meta.js toc.js *.enex *.ctd *.ctb subnodes.lst notebook.zim *.trln *.trl *.jex *.md);;"
                                    "TreeLine (*.trln *.trl);;Joplin (*.jex *.md);;すべてのファイル (*)");
    const std::optional<QString> path = m_services.dialogs.openFile(request);
    if (!path)
        return false;
    QString failure;
    std::optional<import::ImportSource> source = import::findImportSource(*path, &failure);
    if (!source) {
        refuse(failure);
        return false;
    }
    if (source->needsPassword) {
        const std::optional<QString> password = m_services.askPassword ? m_services.askPassword(source->name) : std::nullopt;
        if (!password)
            return false;
        source->password = *password;
    }
    // The import is made in a copy of the tree: its keys are free in the book, and the
    // book's tree stays as it is until the import is whole.
    ItemTree copy;
    treestring::buildTree(copy, treestring::fromTree(book.tree()));
    TreeEditor editor(copy);
    copy.select(copy.item(selected->key()));
    std::optional<TreeEdit> added = editor.add(ItemKind::Folder, Placement::Child);
    if (!added) {
        refuse(QStringLiteral("ここには、これより深い階層の項目を追加できません。"));
        return false;
    }
    std::ignore = editor.rename(added->key, treestring::storableCaption(source->name.isEmpty() ? kImportTitle : source->name));
    import::ImportStaging staging(book.appPath());
    if (staging.path().isEmpty()) {
        refuse(QStringLiteral("「 ") + QDir::toNativeSeparators(book.appPath()) + QStringLiteral(" 」\n\nにフォルダを作成できません。"));
        return false;
    }
    // The folder imported under has a note of its own, as every folder: where its items came from.
    const QString folderNote = staging.path() + ContentNames::textFileName(added->key);
    if (!import::StagedFiles::write(folderNote, import::originNote(*path))) {
        refuse(QStringLiteral("「 ") + QDir::toNativeSeparators(folderNote) + QStringLiteral(" 」\n\nに書き込めません。"));
        return false;
    }
    const QString bookFolder = book.bookFolder();
    const import::ImportRun run = showProgress([&](const import::ImportWriter::Progress &progress) {
        return import::runImport(*source, {copy, added->key, staging.path(), bookFolder}, progress);
    });
    if (run.cancelled)
        return false;
    if (!run.succeeded()) {
        refuse(run.failure);
        return false;
    }
    // The text shown is kept before the item imported is shown in its place.
    if (!m_services.display.storeCurrentItem())
        return false;
    // Whole: the pages join the book folder and the notes the working folder, or nothing does.
    Moves moves;
    const QString pages = CapturedPages::folderOf(bookFolder);
    QDir().mkpath(pages);
    WorkingFolder &working = book.workingFolder();
    bool moved = true;
    for (const QString &name : run.pageFolders)
        moved = moved && moves.move(staging.path() + QStringLiteral("pages/") + name, pages + name);
    for (const QString &name : ContentNames::filesIn(staging.path()))
        moved = moved && moves.move(staging.path() + name, working.writableFile(name));
    if (!moved) {
        moves.undo();
        refuse(QStringLiteral("「 ") + QDir::toNativeSeparators(bookFolder) + QStringLiteral(" 」\n\nに取り込んだものを置けません。"));
        return false;
    }
    syncFolder(pages);
    syncFolder(working.path());
    for (const QString &name : run.pageFolders)
        book.newCaptures().add(pages + name + u'/');

    TreeItem *root = copy.item(added->key);
    added->newCaption = root->text();
    added->records = TreeEditor::recordsOf(*root);
    book.editor().redo(*added);
    m_services.treeCommands.treeEdited(*added);
    m_services.display.showItem(book.tree().item(added->key));
    m_services.reportView.showReport(kImportTitle, QStringLiteral("「") + source->name + QStringLiteral("」を取り込みました。\n\n")
                                                 + run.report.text());
    return true;
}

} // namespace kobin
