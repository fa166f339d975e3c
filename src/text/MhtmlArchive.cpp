#include "MhtmlArchive.h"

#include <QList>

#include <cctype>

namespace kobin {

namespace {

struct Part {
    QByteArray type;     // lower case, without parameters
    QByteArray charset;  // as the header gives it
    QByteArray boundary; // for a multipart
    QByteArray encoding; // lower case
    QByteArrayView body;
};

// A header parameter's value (name="value" or name=value).
QByteArray parameter(const QByteArray &header, const QByteArray &name)
{
    const QByteArray lower = header.toLower();
    qsizetype at = 0;
    while ((at = lower.indexOf(name + '=', at)) >= 0) {
        const bool starts = at == 0 || lower.at(at - 1) == ';' || lower.at(at - 1) == ' ' || lower.at(at - 1) == '\t';
        at += name.size() + 1;
        if (!starts)
            continue;
        if (header.mid(at, 1) == "\"") {
            const qsizetype end = header.indexOf('"', at + 1);
            return end < 0 ? QByteArray() : header.mid(at + 1, end - at - 1);
        }
        qsizetype end = at;
        while (end < header.size() && header.at(end) != ';' && header.at(end) != ' ' && header.at(end) != '\t')
            ++end;
        return header.mid(at, end - at);
    }
    return {};
}

// Reads the header block at the start of bytes (lines folded onto the next with
// leading white space) and what follows its blank line.
std::optional<Part> readPart(QByteArrayView bytes)
{
    Part part;
    QByteArray header;
    const auto take = [&part, &header] {
        const qsizetype colon = header.indexOf(':');
        if (colon < 0)
            return;
        const QByteArray name = header.left(colon).trimmed().toLower();
        const QByteArray value = header.mid(colon + 1).trimmed();
        if (name == "content-type") {
            part.type = value.split(';').front().trimmed().toLower();
            part.charset = parameter(value, "charset");
            part.boundary = parameter(value, "boundary");
        } else if (name == "content-transfer-encoding") {
            part.encoding = value.toLower();
        }
    };
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            return std::nullopt;
        QByteArrayView line = bytes.sliced(at, end - at);
        if (line.endsWith('\r'))
            line.chop(1);
        at = end + 1;
        if (line.isEmpty()) {
            take();
            part.body = bytes.sliced(at);
            return part;
        }
        if (line.front() == ' ' || line.front() == '\t') {
            header += ' ' + line.trimmed().toByteArray();
        } else {
            take();
            header = line.toByteArray();
        }
    }
    return std::nullopt;
}

QByteArray decodeQuotedPrintable(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '=') {
            out += c;
        } else if (i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == '\r')) {
            i += text[i + 1] == '\r' && i + 2 < text.size() && text[i + 2] == '\n' ? 2 : 1; // soft line break
        } else if (i + 2 < text.size()) {
            bool ok = false;
            const int value = text.sliced(i + 1, 2).toByteArray().toInt(&ok, 16);
            out += ok ? char(value) : c;
            i += ok ? 2 : 0;
        }
    }
    return out;
}

QByteArray decoded(const Part &part)
{
    if (part.encoding == "quoted-printable")
        return decodeQuotedPrintable(part.body);
    if (part.encoding == "base64")
        return QByteArray::fromBase64(part.body.toByteArray());
    return part.body.toByteArray();
}

QByteArray page(const Part &part)
{
    const QByteArray html = decoded(part);
    return part.charset.isEmpty() ? html : "<meta charset=\"" + part.charset + "\">" + html;
}

// Where the next line that starts with delimiter begins, from from; -1 for none.
qsizetype delimiterLine(QByteArrayView body, const QByteArray &delimiter, qsizetype from)
{
    for (qsizetype at = body.indexOf(delimiter, from); at >= 0; at = body.indexOf(delimiter, at + 1)) {
        if (at == 0 || body.at(at - 1) == '\n')
            return at;
    }
    return -1;
}

} // namespace

std::optional<QByteArray> mhtmlMainPage(QByteArrayView archive)
{
    // An archive begins with a header ("From: ...", "MIME-Version: ..."); a page never does.
    qsizetype name = 0;
    while (name < archive.size() && (std::isalnum(static_cast<unsigned char>(archive[name])) || archive[name] == '-'))
        ++name;
    if (name == 0 || name == archive.size() || archive[name] != ':')
        return std::nullopt;
    // The header block is near the start; a file without one is read no further.
    std::optional<Part> top = readPart(archive.first(std::min<qsizetype>(archive.size(), 64 * 1024)));
    if (!top)
        return std::nullopt;
    top->body = archive.sliced(top->body.data() - archive.data());
    if (top->type == "text/html")
        return page(*top);
    if (top->type != "multipart/related" || top->boundary.isEmpty())
        return std::nullopt;
    const QByteArray delimiter = "--" + top->boundary;
    const QByteArrayView body = top->body;
    qsizetype at = delimiterLine(body, delimiter, 0);
    while (at >= 0 && !body.sliced(at).startsWith(delimiter + "--")) {
        const qsizetype start = body.indexOf('\n', at) + 1;
        if (start == 0)
            return std::nullopt;
        const qsizetype next = delimiterLine(body, delimiter, start);
        QByteArrayView content = body.sliced(start, (next < 0 ? body.size() : next) - start);
        // The line break before a delimiter belongs to the delimiter.
        if (content.endsWith('\n'))
            content.chop(content.endsWith("\r\n") ? 2 : 1);
        if (const std::optional<Part> part = readPart(content); part && part->type == "text/html")
            return page(*part);
        at = next;
    }
    return std::nullopt;
}

} // namespace kobin
