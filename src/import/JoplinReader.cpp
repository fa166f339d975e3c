#include "JoplinReader.h"

#include "JoplinExport.h"
#include "JoplinItem.h"
#include "NoteDocument.h"
#include "SourceFolder.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>
#include <algorithm>
#include <vector>

namespace kobin::import {

namespace {

const QString kReference = QStringLiteral(":/");

QString shownTime(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" UTC");
}

// "2021-08-07T17:03:33.718Z" as "2021-08-07 17:03:33 UTC".
QString shownTime(const QString &stamp)
{
    const QDateTime time = QDateTime::fromString(stamp, Qt::ISODateWithMs);
    return time.isValid() ? shownTime(time) : stamp;
}

// The id a note's address ":/<id>" (or ":/<id>#part") names; empty for any other address.
QString referencedId(const QString &address)
{
    if (!address.startsWith(kReference))
        return {};
    const QString id = address.mid(kReference.size(), 32);
    return JoplinItem::isId(id) ? id : QString();
}

class Library
{
public:
    Library(JoplinExport &source, ImportSink &sink) : m_source(source), m_sink(sink) {}

    void take(const JoplinExport::ItemFile &file);
    bool empty() const { return m_notebooks.isEmpty() && m_notes.isEmpty(); }
    void placeItems();
    void keepPictures();
    bool walk();

private:
    bool walkFrom(const QString &notebook);
    ImportItem notebookItem(const QString &id) const;
    ImportItem noteItem(const QString &id) const;
    QString resourceFile(const JoplinItem &resource) const;
    bool isPicture(const QString &id) const;
    QString linkName(const QString &address) const;
    void sortByTitle(QStringList &ids, const QHash<QString, JoplinItem> &items) const;

    JoplinExport &m_source;
    ImportSink &m_sink;
    QHash<QString, JoplinItem> m_notebooks;
    QHash<QString, JoplinItem> m_notes;
    QHash<QString, JoplinItem> m_resources;
    QHash<QString, QString> m_tags;           // title by id
    QHash<QString, QStringList> m_tagsOfNote; // tag ids
    QHash<QString, QStringList> m_children;   // notebooks, then notes, by the id of their notebook ("" the top)
    QSet<QString> m_walked;
};

void Library::take(const JoplinExport::ItemFile &file)
{
    std::optional<JoplinItem> item = JoplinItem::parse(QString::fromUtf8(file.bytes));
    if (!item) {
        m_sink.leaveOut(file.name, QStringLiteral("Joplin の項目として読めません"));
        return;
    }
    if (item->encrypted()) {
        m_sink.leaveOut(file.name, QStringLiteral("暗号化されているため読めません"));
        return;
    }
    QHash<QString, JoplinItem> *kept = item->type == JoplinItem::Notebook ? &m_notebooks
        : item->type == JoplinItem::Note                                  ? &m_notes
        : item->type == JoplinItem::Resource                              ? &m_resources
                                                                          : nullptr;
    if (item->type == JoplinItem::Tag)
        m_tags.insert(item->id, item->title);
    else if (item->type == JoplinItem::NoteTag)
        m_tagsOfNote[item->property(QStringLiteral("note_id"))].append(item->property(QStringLiteral("tag_id")));
    if (!kept)
        return; // a tag, or what a note does not show (revisions, keys, settings)
    if (m_notebooks.contains(item->id) || m_notes.contains(item->id) || m_resources.contains(item->id)) {
        m_sink.leaveOut(file.name, QStringLiteral("同じ id の項目が二度目に出てきたため"));
        return;
    }
    kept->insert(item->id, std::move(*item));
}

void Library::sortByTitle(QStringList &ids, const QHash<QString, JoplinItem> &items) const
{
    std::sort(ids.begin(), ids.end(), [&items](const QString &a, const QString &b) {
        const int order = items.constFind(a)->title.compare(items.constFind(b)->title, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

void Library::placeItems()
{
    QHash<QString, QStringList> notebooksIn;
    QHash<QString, QStringList> notesIn;
    const QString parentKey = QStringLiteral("parent_id");
    for (auto it = m_notebooks.cbegin(); it != m_notebooks.cend(); ++it) {
        const QString parent = it->property(parentKey);
        notebooksIn[m_notebooks.contains(parent) ? parent : QString()].append(it.key());
    }
    for (auto it = m_notes.cbegin(); it != m_notes.cend(); ++it) {
        const QString parent = it->property(parentKey);
        notesIn[m_notebooks.contains(parent) ? parent : QString()].append(it.key());
    }
    for (auto it = notebooksIn.begin(); it != notebooksIn.end(); ++it) {
        sortByTitle(*it, m_notebooks);
        m_children[it.key()] = *it;
    }
    for (auto it = notesIn.begin(); it != notesIn.end(); ++it) {
        sortByTitle(*it, m_notes);
        m_children[it.key()] += *it;
    }
}

// The name of its file in resources/; whatever the extension says, it is looked up inside the export only.
QString Library::resourceFile(const JoplinItem &resource) const
{
    const QString suffix = resource.property(QStringLiteral("file_extension"));
    return suffix.isEmpty() ? resource.id : resource.id + u'.' + suffix;
}

bool Library::isPicture(const QString &id) const
{
    const auto resource = m_resources.constFind(id);
    return resource != m_resources.cend() && resource->property(QStringLiteral("mime")).startsWith(QLatin1String("image/"));
}

void Library::keepPictures()
{
    static const QRegularExpression reference(QStringLiteral(":/([0-9a-f]{32})"));
    QSet<QString> names;
    for (const JoplinItem &note : std::as_const(m_notes)) {
        for (auto it = reference.globalMatch(note.body); it.hasNext();) {
            const QString id = it.next().captured(1);
            if (isPicture(id))
                names.insert(resourceFile(m_resources[id]));
        }
    }
    m_source.keepResources(names);
}

QString Library::linkName(const QString &address) const
{
    const QString id = referencedId(address);
    if (m_notes.contains(id))
        return QStringLiteral("ノート「%1」へのリンク（文字のまま）").arg(m_notes[id].title);
    if (m_notebooks.contains(id))
        return QStringLiteral("ノートブック「%1」へのリンク（文字のまま）").arg(m_notebooks[id].title);
    if (m_resources.contains(id))
        return QStringLiteral("添付ファイル「%1」へのリンク（文字のまま）").arg(m_resources[id].title);
    if (!id.isEmpty())
        return QStringLiteral("リンク「%1」（指す項目がエクスポートにありません）").arg(address);
    return {};
}

ImportItem Library::notebookItem(const QString &id) const
{
    ImportItem item;
    item.kind = ImportItem::Kind::Folder;
    item.title = m_notebooks[id].title;
    return item;
}

ImportItem Library::noteItem(const QString &id) const
{
    const JoplinItem &note = m_notes[id];
    ImportItem item;
    item.kind = ImportItem::Kind::Note;
    item.title = note.title;
    const ImportItem::Markup markup = note.property(QStringLiteral("markup_language")) == u"2" ? ImportItem::Markup::Html
                                                                                           : ImportItem::Markup::Markdown;
    const PictureSource pictures = [this](const QString &address) -> std::optional<QByteArray> {
        const QString picture = referencedId(address);
        if (!isPicture(picture))
            return std::nullopt;
        return m_source.resource(resourceFile(m_resources[picture]));
    };
    NoteConversion converted = convertNote(note.body, markup, pictures, {}, [this](const QString &address) { return linkName(address); });
    item.markup = ImportItem::Markup::Rtf;
    item.body = std::move(converted.rtf);
    item.pictures = converted.pictures;
    QStringList tags;
    for (const QString &tag : m_tagsOfNote.value(id)) {
        if (m_tags.contains(tag))
            tags.append(m_tags[tag]);
    }
    tags.sort(Qt::CaseInsensitive); // the links' order is the export's, not the user's
    if (!tags.isEmpty())
        item.leftOut.append(QStringLiteral("タグ: ") + tags.join(QStringLiteral(", ")));
    if (note.property(QStringLiteral("is_todo")) == u"1") {
        const qint64 done = note.property(QStringLiteral("todo_completed")).toLongLong();
        item.leftOut.append(done > 0 ? QStringLiteral("ToDo（%1 に完了）").arg(shownTime(QDateTime::fromMSecsSinceEpoch(done, QTimeZone::utc())))
                                     : QStringLiteral("ToDo（未完了）"));
    }
    const QString created = note.property(QStringLiteral("created_time"));
    if (!created.isEmpty())
        item.leftOut.append(QStringLiteral("作成日時 ") + shownTime(created));
    const QString updated = note.property(QStringLiteral("updated_time"));
    if (!updated.isEmpty())
        item.leftOut.append(QStringLiteral("更新日時 ") + shownTime(updated));
    item.leftOut += converted.leftOut;
    return item;
}

// The notebook's items, or the top's for none, handed to the sink without
// recursion; each notebook once, so that a loop of parents ends.
bool Library::walkFrom(const QString &notebook)
{
    struct Level {
        QStringList ids;
        int next = 0;
    };
    if (!notebook.isEmpty()) {
        m_walked.insert(notebook);
        if (!m_sink.openFolder(notebookItem(notebook)))
            return false;
    }
    std::vector<Level> levels{{m_children.value(notebook)}};
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next >= level.ids.size()) {
            levels.pop_back();
            if ((!levels.empty() || !notebook.isEmpty()) && !m_sink.closeFolder())
                return false;
            continue;
        }
        const QString id = level.ids[level.next++];
        if (m_notes.contains(id)) {
            ImportItem item = noteItem(id);
            if (!m_sink.add(item))
                return false;
        } else if (!m_walked.contains(id)) {
            m_walked.insert(id);
            if (!m_sink.openFolder(notebookItem(id)))
                return false;
            levels.push_back({m_children.value(id)});
        }
    }
    return true;
}

bool Library::walk()
{
    m_sink.expect(static_cast<int>(m_notebooks.size() + m_notes.size()));
    if (!walkFrom(QString()))
        return false;
    // Notebooks whose parents make a loop are not reached from the top: one of each loop is put there.
    QStringList unreached;
    for (auto it = m_notebooks.cbegin(); it != m_notebooks.cend(); ++it) {
        if (!m_walked.contains(it.key()))
            unreached.append(it.key());
    }
    sortByTitle(unreached, m_notebooks);
    for (const QString &id : std::as_const(unreached)) {
        if (m_walked.contains(id))
            continue;
        m_sink.leaveOut(m_notebooks[id].title, QStringLiteral("親のノートブックが輪になっているため、一番上に置きました"));
        if (!walkFrom(id))
            return false;
    }
    return true;
}

} // namespace

bool JoplinReader::isArchive(const QString &path)
{
    return path.endsWith(QLatin1String(".jex"), Qt::CaseInsensitive);
}

bool JoplinReader::isItemFile(const QString &name)
{
    return name.endsWith(QLatin1String(".md")) && JoplinItem::isId(name.chopped(3));
}

bool JoplinReader::holdsExport(const SourceFolder &source)
{
    const QStringList items = QDir(source.root()).entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
    return std::any_of(items.cbegin(), items.cend(), isItemFile);
}

bool JoplinReader::read(const QString &archive, const SourceFolder &folder, ImportSink &sink, QString *failure)
{
    JoplinExport source(archive, folder);
    std::vector<JoplinExport::ItemFile> files;
    if (!source.readItems(files, sink, failure))
        return false;
    Library library(source, sink);
    for (const JoplinExport::ItemFile &file : files)
        library.take(file);
    files.clear();
    if (library.empty()) {
        *failure = QStringLiteral("「 ") + (archive.isEmpty() ? folder.root() : archive)
            + QStringLiteral(" 」には Joplin のノートもノートブックもありません。");
        return false;
    }
    library.placeItems();
    library.keepPictures();
    return library.walk();
}

} // namespace kobin::import
