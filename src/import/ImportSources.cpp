#include "ImportSources.h"

#include "CherryTreeFolder.h"
#include "CherryTreeReader.h"
#include "EvernoteReader.h"
#include "JoplinReader.h"
#include "ScrapBookXReader.h"
#include "SourceFolder.h"
#include "TreeLineReader.h"
#include "WebScrapBookReader.h"
#include "ZimReader.h"

#include <QDir>
#include <QFileInfo>

namespace kobin::import {

namespace {

std::optional<ImportSource> folderSource(const QString &folder, const QString &path, QString *failure)
{
    const SourceFolder source(folder);
    ImportSource found;
    found.folder = source.root();
    found.name = QFileInfo(QDir::cleanPath(folder)).fileName();
    if (source.root().isEmpty()) {
        *failure = QStringLiteral("「 ") + path + QStringLiteral(" 」を開けません。");
        return std::nullopt;
    }
    if (source.resolve(QStringLiteral("scrapbook.rdf"))) {
        found.format = SourceFormat::ScrapBookX;
        return found;
    }
    if (WebScrapBookReader::holdsCollection(source)) {
        found.format = SourceFormat::WebScrapBook;
        return found;
    }
    if (ZimReader::holdsNotebook(source)) {
        found.format = SourceFormat::Zim;
        return found;
    }
    if (CherryTreeFolder::holdsDocument(source)) {
        found.format = SourceFormat::CherryTree;
        return found;
    }
    if (JoplinReader::holdsExport(source)) {
        found.format = SourceFormat::Joplin;
        return found;
    }
    for (const QFileInfo &file : QDir(folder).entryInfoList({QStringLiteral("*.enex")}, QDir::Files, QDir::Name)) {
        if (source.contains(file.filePath()))
            found.files.append(file.filePath());
    }
    if (!found.files.isEmpty()) {
        found.format = SourceFormat::Evernote;
        return found;
    }
    *failure = QStringLiteral("「 ") + path
        + QStringLiteral(" 」には取り込めるもの（ScrapBook X の scrapbook.rdf、WebScrapBook の tree フォルダ、Evernote の .enex ファイル、CherryTree の subnodes.lst、Zim の notebook.zim、Joplin の RAW エクスポート）がありません。");
    return std::nullopt;
}

// A collection held in one file.
ImportSource fileSource(SourceFormat format, const QFileInfo &file)
{
    ImportSource found;
    found.format = format;
    found.folder = SourceFolder(file.absolutePath()).root();
    found.files = {file.absoluteFilePath()};
    found.name = file.completeBaseName();
    return found;
}

} // namespace

std::optional<ImportSource> findImportSource(const QString &path, QString *failure)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *failure = QStringLiteral("「 ") + path + QStringLiteral(" 」が見つかりません。");
        return std::nullopt;
    }
    if (info.isDir())
        return folderSource(info.absoluteFilePath(), path, failure);
    const QString name = info.fileName().toLower();
    const QString folder = info.absolutePath();
    if (name.endsWith(QLatin1String(".enex")) && info.isFile())
        return fileSource(SourceFormat::Evernote, info);
    if (CherryTreeReader::isDocument(name) && info.isFile()) {
        ImportSource found = fileSource(SourceFormat::CherryTree, info);
        found.needsPassword = CherryTreeReader::needsPassword(name);
        return found;
    }
    if (TreeLineReader::isDocument(name) && info.isFile())
        return fileSource(SourceFormat::TreeLine, info);
    if (JoplinReader::isArchive(name) && info.isFile())
        return fileSource(SourceFormat::Joplin, info);
    if (name == u"scrapbook.rdf" || name == u"subnodes.lst" || name == u"notebook.zim")
        return folderSource(folder, path, failure);
    if (JoplinReader::isItemFile(name))
        return folderSource(folder, path, failure);
    // A file of WebScrapBook's tree folder (tree/ or .wsb/tree/) names the collection above it.
    if (name.endsWith(QLatin1String(".js")) && QFileInfo(folder).fileName() == u"tree") {
        QDir above(folder);
        above.cdUp();
        if (above.dirName() == u".wsb")
            above.cdUp();
        return folderSource(above.absolutePath(), path, failure);
    }
    *failure = QStringLiteral("「 ") + path + QStringLiteral(" 」は取り込める形式ではありません。");
    return std::nullopt;
}

bool readImportSource(const ImportSource &source, ImportSink &sink, QString *failure)
{
    const SourceFolder folder(source.folder);
    switch (source.format) {
    case SourceFormat::ScrapBookX:
        return ScrapBookXReader::read(folder, sink, failure);
    case SourceFormat::WebScrapBook:
        return WebScrapBookReader::read(folder, sink, failure);
    case SourceFormat::Evernote:
        return EvernoteReader::read(source.files, sink, failure);
    case SourceFormat::CherryTree:
        return CherryTreeReader::read(source.files.value(0), source.password, folder, sink, failure);
    case SourceFormat::Zim:
        return ZimReader::read(folder, sink, failure);
    case SourceFormat::TreeLine:
        return TreeLineReader::read(source.files.value(0), folder, sink, failure);
    case SourceFormat::Joplin:
        return JoplinReader::read(source.files.value(0), folder, sink, failure);
    }
    return false;
}

} // namespace kobin::import
