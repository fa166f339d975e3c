#include "ImportWriter.h"

#include "BoundedFile.h"
#include "ContentNames.h"
#include "Cp932.h"
#include "EnmlMarkup.h"
#include "InsertedPictures.h"
#include "NoteDocument.h"
#include "PageArchive.h"
#include "PageNames.h"
#include "PageSource.h"
#include "SourceFolder.h"
#include "StagedFiles.h"
#include "TreeEditor.h"
#include "TreeString.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>
#include <deque>

namespace kobin::import {

namespace {

// A note's markup larger than this is no note anyone typed.
constexpr qint64 kMaxMarkupBytes = 64LL * 1024 * 1024;

QString titleOf(const QString &title)
{
    const QString simplified = title.simplified();
    return simplified.isEmpty() ? QStringLiteral("（無題）") : simplified;
}

int levelOf(const TreeItem *item)
{
    int level = 0;
    for (; item; item = item->parent())
        ++level;
    return level;
}

// The extension a picture's file takes in a page written from a note.
QString extensionOf(const QByteArray &type)
{
    const qsizetype slash = type.indexOf('/');
    const QByteArray sub = type.mid(slash + 1).split('+').first();
    return sub.isEmpty() ? QStringLiteral("bin") : QString::fromLatin1(sub == "jpeg" ? "jpg" : sub);
}

// A "data:" address's bytes (a picture inside a single-file page or note).
std::optional<QByteArray> dataAddressBytes(const QString &address)
{
    const qsizetype comma = address.indexOf(u',');
    if (comma < 0 || !address.left(comma).endsWith(QLatin1String(";base64"), Qt::CaseInsensitive))
        return std::nullopt;
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(address.mid(comma + 1).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? std::optional<QByteArray>(decoded.decoded) : std::nullopt;
}

// Copies a page's folder: its regular files and folders, never what a link leads to, at most
// PageArchive's bounds. CapturedPages::copyInto syncs every file; an import syncs its staging once. False, with what went wrong in *why, past them or on a write error.
bool copyPageFolder(const QString &from, const QString &to, QString *why)
{
    std::deque<QString> folders{QString()};
    int files = 0;
    while (!folders.empty()) {
        const QString relative = folders.front();
        folders.pop_front();
        const QFileInfoList entries =
            QDir(from + relative).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QFileInfo &entry : entries) {
            const QString name = relative + entry.fileName();
            if (entry.isSymLink())
                continue;
            if (entry.isDir()) {
                if (!QDir().mkpath(to + name)) {
                    *why = QStringLiteral("「 ") + to + name + QStringLiteral(" 」を作成できません");
                    return false;
                }
                folders.push_back(name + u'/');
            } else if (entry.isFile()) {
                if (++files > PageArchive::kMaxFiles) {
                    *why = QStringLiteral("%1 個を超えるファイルがあります").arg(PageArchive::kMaxFiles);
                    return false;
                }
                if (!StagedFiles::copy(entry.filePath(), to + name)) {
                    *why = QStringLiteral("「 ") + entry.filePath() + QStringLiteral(" 」を写せません");
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace

ImportWriter::ImportWriter(Target target, const SourceFolder &source, Progress progress)
    : m_target(std::move(target)), m_source(source), m_progress(std::move(progress)),
      m_editor(std::make_unique<TreeEditor>(m_target.tree)),
      m_pageStamp(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-"))
                  + QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0'))
{
    m_folders.push_back(m_target.parentKey);
    m_level = levelOf(m_target.tree.item(m_target.parentKey));
}

ImportWriter::~ImportWriter() = default;

void ImportWriter::expect(int items)
{
    m_total = items;
}

bool ImportWriter::step()
{
    ++m_done;
    if (m_progress && !m_progress(m_done, m_total))
        m_cancelled = true;
    return !m_cancelled && m_failure.isEmpty();
}

bool ImportWriter::fail(const QString &path)
{
    m_failure = QStringLiteral("「 ") + QDir::toNativeSeparators(path) + QStringLiteral(" 」に書き込めません。");
    return false;
}

TreeItem *ImportWriter::addItem(ItemKind kind, const QString &title)
{
    ItemTree &tree = m_target.tree;
    tree.select(tree.item(m_folders.back()));
    const std::optional<TreeEdit> added = m_editor->add(kind, Placement::Child);
    if (!added)
        return nullptr;
    std::ignore = m_editor->rename(added->key, titleOf(title));
    return tree.item(added->key);
}

bool ImportWriter::openFolder(const ImportItem &folder)
{
    // A folder deeper than a book nests becomes a text item with its note, and
    // its items follow it in the folder above, where they still fit.
    const bool tooDeep = m_level + 2 >= treestring::kDeepestLevel;
    TreeItem *item = addItem(tooDeep ? ItemKind::Text : ItemKind::Folder, folder.title);
    if (!item) {
        m_report.leaveOut(titleOf(folder.title), QStringLiteral("（このブックにはもう項目を作れません）"));
        m_folders.push_back(m_folders.back());
        return step();
    }
    // Every folder has a note of its own: the one the reader made, or an empty one.
    const bool ownNote = folder.markup == ImportItem::Markup::Rtf;
    const QString note = m_target.stagingFolder + ContentNames::textFileName(item->key());
    if (!StagedFiles::write(note, ownNote ? folder.body : emptyNote()))
        return fail(note);
    m_report.pictures += ownNote ? folder.pictures : 0;
    if (!folder.leftOut.isEmpty())
        m_report.leaveOut(item->text(), folder.leftOut.join(QStringLiteral("、")));
    if (tooDeep) {
        ++m_report.notes;
        ++m_flattened;
        m_folders.push_back(m_folders.back());
    } else {
        ++m_report.folders;
        ++m_level;
        m_folders.push_back(item->key());
    }
    return step();
}

const QByteArray &ImportWriter::emptyNote()
{
    // The same bytes for every folder without a note: made once, as an import may hold thousands.
    if (m_emptyNote.isEmpty())
        m_emptyNote = plainNote(QString());
    return m_emptyNote;
}

bool ImportWriter::closeFolder()
{
    if (m_folders.size() <= 1)
        return true;
    const QString inner = m_folders.back();
    m_folders.pop_back();
    if (inner != m_folders.back()) // a folder made, not one whose items went to the folder above
        --m_level;
    return true;
}

void ImportWriter::leaveOut(const QString &what, const QString &why)
{
    m_report.leaveOut(what, why);
}

bool ImportWriter::add(ImportItem &item)
{
    if (item.kind == ImportItem::Kind::Page)
        return addPage(item) && step();
    TreeItem *added = addItem(ItemKind::Text, item.title);
    if (!added) {
        m_report.leaveOut(titleOf(item.title), QStringLiteral("（このブックにはもう項目を作れません）"));
        return step();
    }
    if (!writeNote(added->key(), item))
        return false;
    if (!item.leftOut.isEmpty())
        m_report.leaveOut(added->text(), item.leftOut.join(QStringLiteral("、")));
    return step();
}

bool ImportWriter::writeNote(const QString &key, ImportItem &item)
{
    NoteConversion note;
    const QString heading = item.heading;
    ImportItem::Markup markup = item.markup;
    QString markupText;
    QStringList &leftOut = item.leftOut;
    if (item.kind == ImportItem::Kind::Bookmark) {
        markup = ImportItem::Markup::Html;
        markupText = QStringLiteral("<p><a href=\"%1\">%1</a></p>").arg(item.address.toHtmlEscaped());
        if (!item.comment.isEmpty())
            markupText += QStringLiteral("<p>") + item.comment.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")) + QStringLiteral("</p>");
        ++m_report.bookmarks;
    } else if (markup == ImportItem::Markup::Rtf) {
        ++m_report.notes;
        m_report.pictures += item.pictures;
        const QString path = m_target.stagingFolder + ContentNames::textFileName(key);
        return StagedFiles::write(path, item.body) || fail(path);
    } else if (!item.bodyFile.isEmpty()) {
        const std::optional<QByteArray> bytes = m_source.read(item.bodyFile, kMaxMarkupBytes);
        if (!bytes)
            leftOut.append(QStringLiteral("本文（「%1」を読めません）").arg(item.bodyFile.mid(m_source.root().size())));
        else if (markup == ImportItem::Markup::Html)
            markupText = readPageSource(*bytes).read.text;
        else
            markupText = QString::fromUtf8(*bytes);
        ++m_report.notes;
    } else {
        markupText = QString::fromUtf8(item.body);
        ++m_report.notes;
    }
    if (markup == ImportItem::Markup::Enml) {
        EnmlHtml html = htmlFromEnml(markupText, [&item](const QByteArray &hash, const QByteArray &) {
            return item.resources.contains(hash) ? QStringLiteral("en-media:") + QString::fromLatin1(hash) : QString();
        });
        leftOut += html.leftOut;
        markupText = html.html;
        markup = ImportItem::Markup::Html;
    }
    const PictureSource pictures = [this, &item](const QString &address) -> std::optional<QByteArray> {
        if (address.startsWith(QLatin1String("en-media:")))
            return item.resources.value(address.mid(9).toLatin1());
        if (address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
            return dataAddressBytes(address);
        if (item.pictureFolder.isEmpty())
            return std::nullopt;
        const std::optional<QString> path = SourceFolder(item.pictureFolder).resolve(address);
        return path ? m_source.read(*path, rtf::kMaxInsertedPictureBytes) : std::nullopt;
    };
    note = convertNote(markupText, markup, pictures, heading);
    m_report.pictures += note.pictures;
    leftOut += note.leftOut;
    const QString path = m_target.stagingFolder + ContentNames::textFileName(key);
    return StagedFiles::write(path, note.rtf) || fail(path);
}

QString ImportWriter::fillPageFolder(const QString &folder, const ImportItem &item, QStringList &leftOut)
{
    QString why;
    if (!item.pageArchive.isEmpty()) {
        int skipped = 0;
        if (!PageArchive::unpack(item.pageArchive, folder, &why, &skipped)) {
            leftOut.append(QStringLiteral("ページ（") + why + u')');
            return {};
        }
        if (skipped > 0)
            leftOut.append(QStringLiteral("アーカイブの %1 個の項目（ファイルでないか、外を指す名前）").arg(skipped));
        const QString page = PageArchive::pageIn(folder);
        if (page.isEmpty())
            leftOut.append(QStringLiteral("ページ（アーカイブにページがありません）"));
        return page;
    }
    if (!item.pageFolder.isEmpty()) {
        const QString source = item.pageFolder + item.pageFile;
        if (!m_source.contains(source) || !QFileInfo(source).isFile()) {
            leftOut.append(QStringLiteral("ページ（「%1」がありません）").arg(source.mid(m_source.root().size())));
            return {};
        }
        const bool copied = item.pageFileOnly ? StagedFiles::copy(source, folder + item.pageFile)
                                              : copyPageFolder(item.pageFolder, folder, &why);
        if (!copied) {
            leftOut.append(QStringLiteral("ページ（") + (why.isEmpty() ? source : why) + u')');
            return {};
        }
        return item.pageFile;
    }
    if (item.markup == ImportItem::Markup::Enml) {
        // A page clipped into a note: its markup becomes the page, its pictures files beside it.
        const auto media = [&](const QByteArray &hash, const QByteArray &type) -> QString {
            const auto bytes = item.resources.constFind(hash);
            if (bytes == item.resources.cend())
                return {};
            const QString name = QString::fromLatin1(hash) + u'.' + extensionOf(type);
            return StagedFiles::write(folder + name, *bytes) ? name : QString();
        };
        EnmlHtml html = htmlFromEnml(QString::fromUtf8(item.body), media);
        leftOut += html.leftOut;
        const QByteArray page = "<!DOCTYPE html>\n<meta charset=\"utf-8\">\n<title>" + item.title.toHtmlEscaped().toUtf8()
            + "</title>\n" + html.html.toUtf8();
        return StagedFiles::write(folder + QStringLiteral("index.html"), page) ? QStringLiteral("index.html") : QString();
    }
    leftOut.append(QStringLiteral("ページ（保存されたファイルがありません）"));
    return {};
}

bool ImportWriter::addPage(ImportItem &item)
{
    const QString name = m_pageStamp + u'-' + QString::number(m_pageFolders.size() + 1);
    const QString staged = m_target.stagingFolder + QStringLiteral("pages/") + name + u'/';
    if (!QDir().mkpath(staged))
        return fail(staged);
    const QString pageFile = fillPageFolder(staged, item, item.leftOut);
    TreeItem *added = addItem(pageFile.isEmpty() ? ItemKind::Text : ItemKind::Homepage, item.title);
    if (pageFile.isEmpty() || !added)
        QDir(staged).removeRecursively();
    if (!added) {
        m_report.leaveOut(titleOf(item.title), QStringLiteral("（このブックにはもう項目を作れません）"));
        return true;
    }
    const QString key = added->key();
    QStringList lines;
    if (!item.heading.isEmpty())
        lines.append(item.heading);
    else if (!item.address.isEmpty())
        lines.append(QStringLiteral("元のアドレス: ") + item.address);
    if (!item.comment.isEmpty())
        lines.append(item.comment);
    if (!item.leftOut.isEmpty())
        m_report.leaveOut(added->text(), item.leftOut.join(QStringLiteral("、")));
    if (pageFile.isEmpty()) {
        // No page to show: a text item keeps what is known of it.
        ++m_report.notes;
        const QString path = m_target.stagingFolder + ContentNames::textFileName(key);
        return StagedFiles::write(path, plainNote(lines.join(u'\n'))) || fail(path);
    }
    m_pageFolders.append(name);
    ++m_report.pages;
    const QString page = m_target.bookFolder + QStringLiteral("pages/") + name + u'/' + pageFile;
    const QString urlFile = m_target.stagingFolder + ContentNames::urlFileName(key);
    if (!StagedFiles::write(urlFile, encodeSystemText(page + QStringLiteral("\r\n"))))
        return fail(urlFile);
    if (lines.isEmpty())
        return true;
    if (!item.comment.isEmpty())
        ++m_report.comments;
    const QString sideNote = m_target.stagingFolder + ContentNames::textFileName(pageTextName(key, pageBaseName(page)));
    return StagedFiles::write(sideNote, plainNote(lines.join(u'\n'))) || fail(sideNote);
}

const ImportReport &ImportWriter::finish()
{
    if (m_flattened > 0)
        m_report.leftOut.append(QStringLiteral("%1 個のフォルダは階層が深すぎるため、テキスト項目にして中身をその後ろに並べました。").arg(m_flattened));
    m_flattened = 0;
    return m_report;
}

} // namespace kobin::import
