#include "BookImport.h"

#include "AtomicFile.h"
#include "BookFile.h"
#include "BookStore.h"
#include "ImageKeys.h"
#include "ItemTree.h"
#include "NoteDocument.h"
#include "SourceFolder.h"
#include "StagedFiles.h"
#include "WorkingFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace kobin::import {

namespace {

const QString kStagingPrefix = QStringLiteral(".importing-");

} // namespace

ImportRun runImport(const ImportSource &source, const ImportWriter::Target &target,
                    const ImportWriter::Progress &progress)
{
    ImportRun run;
    const SourceFolder folder(source.folder);
    ImportWriter writer(target, folder, progress);
    QString failure;
    const bool read = readImportSource(source, writer, &failure);
    run.report = writer.finish();
    run.cancelled = writer.cancelled();
    run.failure = !writer.failure().isEmpty() ? writer.failure() : read ? QString() : failure;
    run.pageFolders = writer.pageFolders();
    if (run.succeeded() && !StagedFiles::sync(target.stagingFolder))
        run.failure = quotedPath(target.stagingFolder) + QStringLiteral(" をディスクに書き込めません。");
    return run;
}

QByteArray originNote(const QString &sourcePath)
{
    return plainNote(QStringLiteral("%1 から取り込みました（%2）。")
                         .arg(QDir::toNativeSeparators(sourcePath),
                              QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"))));
}

ImportStaging::ImportStaging(const QString &appPath)
{
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    for (const QFileInfo &left : QDir(appPath).entryInfoList({kStagingPrefix + u'*'}, QDir::Dirs | QDir::Hidden)) {
        if (!left.isSymLink() && left.lastModified() < dayAgo)
            QDir(left.filePath()).removeRecursively();
    }
    const QString path = appPath + kStagingPrefix
        + QString::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, u'0');
    if (QDir().mkpath(path))
        m_path = path + u'/';
}

ImportStaging::~ImportStaging()
{
    if (!m_path.isEmpty())
        QDir(m_path).removeRecursively();
}

NewBook importNewBook(const QString &sourcePath, const QString &bookPath, const QString &appPath,
                      const ImportWriter::Progress &progress, const PasswordAsker &askPassword)
{
    NewBook book;
    const QString bookName = bookNameFromPath(bookPath);
    const QString bookFolder = appPath + bookName + u'/';
    if (QFileInfo::exists(bookPath) || QFileInfo(bookPath).isSymLink()) {
        book.message = quotedPath(bookPath) + QStringLiteral(" はすでにあります。新しいブックの名前を指定してください。");
        return book;
    }
    if (!hasOwnBookFolder(bookName) || bookName.startsWith(u'.')) {
        book.message = quotedPath(bookPath) + QStringLiteral(" はブックの名前に使えません。");
        return book;
    }
    if (QFileInfo::exists(bookFolder) || QFileInfo(bookFolder.chopped(1)).isSymLink()) {
        book.message = QStringLiteral("ブックフォルダ") + quotedPath(bookFolder) + QStringLiteral(" がすでにあります。別の名前を指定してください。");
        return book;
    }
    if (!QFileInfo(QFileInfo(bookPath).absolutePath()).isDir()) {
        book.message = quotedPath(QFileInfo(bookPath).absolutePath()) + QStringLiteral(" がありません。");
        return book;
    }
    QString failure;
    std::optional<ImportSource> source = findImportSource(sourcePath, &failure);
    if (!source) {
        book.message = failure;
        return book;
    }
    if (source->needsPassword) {
        const std::optional<QString> password = askPassword ? askPassword(source->name) : std::nullopt;
        if (!password) {
            book.message = quotedPath(sourcePath) + QStringLiteral(" を開くにはパスワードが要ります。");
            return book;
        }
        source->password = *password;
    }
    ImportStaging staging(appPath);
    if (staging.path().isEmpty()) {
        book.message = quotedPath(appPath) + QStringLiteral(" にフォルダを作成できません。");
        return book;
    }
    ItemTree tree;
    tree.add(nullptr, Relationship::Last, QStringLiteral("a1"), bookName, images::imageKey(images::Root));
    const QString bookNote = staging.path() + ContentNames::textFileName(QStringLiteral("a1"));
    if (!StagedFiles::write(bookNote, originNote(sourcePath))) {
        book.message = quotedPath(staging.path()) + QStringLiteral(" に書き込めません。");
        return book;
    }
    const ImportRun run = runImport(*source, {tree, QStringLiteral("a1"), staging.path(), bookFolder}, progress);
    book.report = run.report;
    if (!run.succeeded()) {
        book.message = run.cancelled ? QStringLiteral("取り込みを中止しました。") : run.failure;
        return book;
    }
    // The book folder appears whole, and only then the book file that names its files.
    if (!QDir().rename(staging.path(), bookFolder)) {
        book.message = quotedPath(bookFolder) + QStringLiteral(" を作成できません。");
        return book;
    }
    staging.keep();
    syncFolder(appPath);
    if (!writeBookFile(bookPath, tree)) {
        QDir(bookFolder).removeRecursively();
        book.message = quotedPath(bookPath) + QStringLiteral(" を保存できません。");
        return book;
    }
    book.written = true;
    return book;
}

} // namespace kobin::import
