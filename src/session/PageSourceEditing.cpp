#include "PageSourceEditing.h"

#include "AtomicFile.h"
#include "BoundedFile.h"
#include "Book.h"
#include "BookPrompts.h"
#include "BookStore.h"
#include "CommandRegistry.h"
#include "NotePane.h"
#include "Prompter.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace kobin {

namespace {
// Far beyond any saved page: a page source is edited as one plain text.
constexpr qint64 kLargestPageSource = qint64(32) * 1024 * 1024;
} // namespace

PageSourceEditing::PageSourceEditing(Book &book, Views views, Prompter &prompter, CommandRegistry &commands)
    : m_book(book), m_views(views), m_prompter(prompter), m_commands(commands)
{
}

void PageSourceEditing::bindCommands()
{
    m_commands.bind(Command::EditPageSource, [this] { toggle(); });
}

bool PageSourceEditing::isOn() const
{
    return m_commands.isChecked(Command::EditPageSource);
}

QString PageSourceEditing::sideTextFile() const
{
    return m_book.workingFolder().textFile(m_book.shown().pageTextName());
}

void PageSourceEditing::toggle()
{
    const Book::Loading loading(m_book);
    if (isOn())
        leave();
    else
        enter();
}

void PageSourceEditing::enter()
{
    if (m_book.shown().pageTextName().isEmpty())
        return; // no page shown: no side text to keep
    // The side text must be safe in its file before the source takes its place.
    if (const NoteWriting written = m_views.note.save(sideTextFile()); written != NoteWriting::Written) {
        reportSaveFailure(m_prompter, sideTextFile(), written);
        return;
    }
    m_commands.setChecked(Command::EditPageSource, true);
    const QString path = m_book.shown().browserAddress();
    if (!QFileInfo(path).isFile()) {
        m_prompter.inform(PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙが見つかりません"),
                          path + QStringLiteral("\nが見つかりません。"));
        return;
    }
    if (!loadSource(path)) {
        m_prompter.inform(PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙを開けません"),
                          QStringLiteral("「 ") + QDir::toNativeSeparators(path) + QStringLiteral(" 」\n\nを開けません。"));
        return;
    }
    m_views.saveButton.setShown(true);
}

bool PageSourceEditing::loadSource(const QString &path)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, kLargestPageSource);
    if (!bytes)
        return false;
    m_source = readPageSource(*bytes);
    m_sourcePath = path;
    m_views.note.showPlainText(m_source->read.text);
    return true;
}

void PageSourceEditing::leave()
{
    m_views.saveButton.setShown(false);
    m_source.reset();
    m_sourcePath.clear();
    if (m_views.note.load(sideTextFile()) != NoteReading::Read) {
        m_prompter.inform(PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙが見つかりません"),
                          QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ\n\n") + QDir::toNativeSeparators(sideTextFile())
                              + QStringLiteral("\n\nが見つかりません。移動または削除した可能性があります。"));
        m_views.note.clear(); // the page source never stays behind to be kept as the side text
    }
    m_commands.setChecked(Command::EditPageSource, false);
}

bool PageSourceEditing::refuse(const QString &reason)
{
    m_prompter.inform(PromptIcon::Exclamation, QStringLiteral("保存できません"),
                      QStringLiteral("「 ") + QDir::toNativeSeparators(m_sourcePath) + QStringLiteral(" 」\n\n") + reason);
    return false;
}

bool PageSourceEditing::save()
{
    if (!m_source)
        return false;
    const QString encoding = QString::fromLatin1(m_source->read.encoding);
    // Bytes that stood for nothing were read as replacement characters: writing would lose them.
    if (m_source->read.undecodableBytes)
        return refuse(QStringLiteral("には文字コード %1 として読めないバイトがあり、保存するとそのバイトが失われるため、保存しませんでした。")
                          .arg(encoding));
    QString unwritable;
    const std::optional<QByteArray> bytes = writePageSource(m_views.note.plainText(), *m_source, &unwritable);
    if (!bytes)
        return refuse(QStringLiteral("の文字コード %1 では「%2」を表せないため、保存しませんでした。").arg(encoding, unwritable));
    if (!saveFileAtomically(m_sourcePath, *bytes))
        return refuse(QStringLiteral("を保存できませんでした。"));
    return true;
}

} // namespace kobin
