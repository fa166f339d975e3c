#include "PageSource.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace kobin {

namespace {

// The names pages give Shift_JIS all mean code page 932 on the systems these pages come from.
bool isShiftJisName(const QByteArray &name)
{
    static const QByteArray names[] = {"shift_jis", "shift-jis", "sjis", "x-sjis", "windows-31j", "cp932",
                                       "ms932", "ms_kanji", "csshiftjis", "csWindows31J"};
    for (const QByteArray &known : names)
        if (name == known.toLower())
            return true;
    return false;
}

// The encoding name the converters know for a declared charset; empty when none fits.
QByteArray encodingForCharset(const QByteArray &charset)
{
    if (charset.isEmpty())
        return {};
    if (isShiftJisName(charset))
        return QByteArrayLiteral("CP932");
    // A page cannot declare UTF-16 in its own bytes: browsers read such a page as UTF-8.
    if (charset == "utf8" || charset == "utf-8" || charset.startsWith("utf-16"))
        return QByteArrayLiteral("UTF-8");
    if (charset == "euc-jp" || charset == "x-euc-jp")
        return QByteArrayLiteral("EUC-JP");
    if (charset == "iso-2022-jp")
        return QByteArrayLiteral("ISO-2022-JP");
    const QStringDecoder decoder(charset.constData());
    return decoder.isValid() ? charset.toUpper() : QByteArray();
}

QString lineBreakOf(const QString &text)
{
    if (text.contains(QLatin1String("\r\n")))
        return QStringLiteral("\r\n");
    if (text.contains(u'\r'))
        return QStringLiteral("\r");
    return QStringLiteral("\n");
}

} // namespace

QByteArray declaredCharset(QByteArrayView html)
{
    // Only the head of the page counts, and its tags are ASCII in every encoding a page may declare.
    const QString head = QString::fromLatin1(html.first(std::min<qsizetype>(html.size(), 1024)));
    static const QRegularExpression meta(QStringLiteral("<meta\\b[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9._:+-]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    for (auto tags = meta.globalMatch(head); tags.hasNext();) {
        const QRegularExpressionMatch found = charset.match(tags.next().captured());
        if (found.hasMatch())
            return found.captured(1).toLatin1().toLower();
    }
    return {};
}

PageSource readPageSource(QByteArrayView bytes)
{
    PageSource source;
    const QByteArray declared = encodingForCharset(declaredCharset(bytes));
    UserText read;
    if (!declared.isEmpty() && !startsWithByteOrderMark(bytes)) {
        read = decodeUserTextAs(bytes, declared);
        // A page saved again in another encoding may still declare its first
        // one: a reading in which every byte stands for a character is better.
        if (read.undecodableBytes || read.keptBytes) {
            UserText detected = decodeUserText(bytes);
            if (!detected.undecodableBytes && !detected.keptBytes)
                read = std::move(detected);
        }
    } else {
        read = decodeUserText(bytes);
    }
    source.lineBreak = lineBreakOf(read.text);
    if (source.lineBreak != QLatin1String("\n"))
        read.text.replace(source.lineBreak, QStringLiteral("\n"));
    source.read = std::move(read);
    return source;
}

std::optional<QByteArray> writePageSource(const QString &text, const PageSource &source, QString *unwritable)
{
    QString written = text;
    if (source.lineBreak != QLatin1String("\n"))
        written.replace(u'\n', source.lineBreak);
    return encodeUserText(written, source.read.encoding, source.read.byteOrderMark, unwritable);
}

} // namespace kobin
