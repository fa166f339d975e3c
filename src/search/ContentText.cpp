#include "ContentText.h"

#include "BoundedFile.h"
#include "MhtmlArchive.h"
#include "PageSource.h"
#include "RichTextFiles.h"
#include "RtfReader.h"

#include <gumbo.h>
#include <vector>

namespace kobin::search {

namespace {

// Elements whose content the browser never shows as text.
bool isHidden(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_HEAD: // its title is taken on its own
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_IFRAME:
        return true;
    default:
        return false;
    }
}

// Elements that end a line of the text shown.
bool endsLine(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_BR: case GUMBO_TAG_P: case GUMBO_TAG_DIV: case GUMBO_TAG_LI: case GUMBO_TAG_TR:
    case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5:
    case GUMBO_TAG_H6: case GUMBO_TAG_TABLE: case GUMBO_TAG_UL: case GUMBO_TAG_OL: case GUMBO_TAG_DL:
    case GUMBO_TAG_DT: case GUMBO_TAG_DD: case GUMBO_TAG_BLOCKQUOTE: case GUMBO_TAG_PRE:
    case GUMBO_TAG_SECTION: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_HEADER: case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_NAV: case GUMBO_TAG_HR: case GUMBO_TAG_TITLE: case GUMBO_TAG_CAPTION:
        return true;
    default:
        return false;
    }
}

class TextCollector
{
public:
    void text(const char *utf8)
    {
        // White space runs read as one space, as the browser lays them out.
        for (const char *c = utf8; *c; ++c) {
            const bool space = *c == ' ' || *c == '\t' || *c == '\n' || *c == '\r' || *c == '\f';
            if (space) {
                m_pendingSpace = !m_bytes.isEmpty() && !m_bytes.endsWith('\n');
            } else {
                if (m_pendingSpace)
                    m_bytes.append(' ');
                m_pendingSpace = false;
                m_bytes.append(*c);
            }
        }
    }
    void lineBreak()
    {
        m_pendingSpace = false;
        if (!m_bytes.isEmpty() && !m_bytes.endsWith('\n'))
            m_bytes.append('\n');
    }
    QString result() const { return QString::fromUtf8(m_bytes).trimmed(); }

private:
    QByteArray m_bytes;
    bool m_pendingSpace = false;
};

const GumboNode *findTitle(const GumboNode *root)
{
    std::vector<const GumboNode *> stack{root};
    while (!stack.empty()) {
        const GumboNode *node = stack.back();
        stack.pop_back();
        if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == GUMBO_TAG_TITLE)
            return node;
        if (node->type != GUMBO_NODE_DOCUMENT
            && (node->type != GUMBO_NODE_ELEMENT || node->v.element.tag == GUMBO_TAG_BODY))
            continue;
        const GumboVector &children
            = node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
        for (unsigned i = children.length; i > 0; --i)
            stack.push_back(static_cast<const GumboNode *>(children.data[i - 1]));
    }
    return nullptr;
}

// Walks the tree in document order without recursion: pages nest deeply.
void collect(const GumboNode *root, TextCollector &out)
{
    struct Step {
        const GumboNode *node;
        bool closing;
    };
    std::vector<Step> stack{{root, false}};
    while (!stack.empty()) {
        const Step step = stack.back();
        stack.pop_back();
        const GumboNode *node = step.node;
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA || node->type == GUMBO_NODE_WHITESPACE) {
            out.text(node->v.text.text);
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT)
            continue; // comments, and templates, which are never shown
        const bool element = node->type == GUMBO_NODE_ELEMENT;
        if (step.closing) {
            if (element && endsLine(node->v.element.tag))
                out.lineBreak();
            continue;
        }
        if (element && isHidden(node->v.element.tag))
            continue;
        if (element && endsLine(node->v.element.tag))
            out.lineBreak(); // a block begins a line of its own
        const GumboVector &children = element ? node->v.element.children : node->v.document.children;
        stack.push_back({node, true});
        for (unsigned i = children.length; i > 0; --i)
            stack.push_back({static_cast<const GumboNode *>(children.data[i - 1]), false});
    }
}

// Binary data has NUL bytes early on; text in UTF-16 or UTF-32 starts with a byte-order mark.
bool looksBinary(QByteArrayView bytes)
{
    return !startsWithByteOrderMark(bytes) && bytes.first(std::min<qsizetype>(bytes.size(), 4096)).contains('\0');
}

std::optional<QString> htmlText(QByteArrayView html)
{
    if (looksBinary(html))
        return std::nullopt;
    const QByteArray utf8 = readPageSource(html).read.text.toUtf8();
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // a broken page would otherwise keep every error it holds
    GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), static_cast<size_t>(utf8.size()));
    TextCollector collector;
    if (const GumboNode *title = findTitle(output->document)) {
        collect(title, collector);
        collector.lineBreak();
    }
    collect(output->document, collector);
    gumbo_destroy_output(&options, output);
    return collector.result();
}

} // namespace

std::optional<QString> visiblePageText(QByteArrayView page)
{
    if (const std::optional<QByteArray> archived = mhtmlMainPage(page))
        return htmlText(*archived);
    return htmlText(page);
}

std::optional<QString> pageFileText(const QString &path)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, kMaxPageFileSize);
    if (!bytes)
        return std::nullopt;
    return visiblePageText(*bytes);
}

std::optional<QString> noteFileText(const QString &path)
{
    // The text alone, read without making a document: pictures and hidden text are not in it.
    return richtext::loadPlainText(path, u"\n");
}

std::optional<QString> noteText(QByteArrayView note)
{
    return rtf::readRtfText(note, u"\n");
}

} // namespace kobin::search
