#include "RtfWriter.h"

#include "Writer.h"

namespace kobin::rtf::writing {

// The body is written first, in one pass over the document: it names the fonts
// and colours of the header's tables, which an empty paragraph does by its own
// format, and tells which fonts hold Japanese.
QByteArray Writer::write()
{
    m_delimit = true; // as after the header's last control word
    if (m_document.rootFrame()->childFrames().isEmpty()) {
        // Going from block to block is quicker than through the frame's items.
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
            writeParagraph(block, 0, "par");
    } else {
        writeItems(m_document.rootFrame()->begin(), 0, "par");
    }
    m_out.append("}\r\n");
    Output body = std::exchange(m_out, Output(1024));
    writeHeader();
    return body.take(m_out.take());
}

void Writer::writeHeader()
{
    const QByteArray lists = m_lists.tables(m_fonts); // before the font table, which takes the fonts lists name
    m_out.append("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl");
    const QStringList &families = m_fonts.families();
    for (int i = 0; i < families.size(); ++i) {
        m_out.append("{");
        word("f", i);
        word("fnil");
        word("fcharset", m_fonts.charset(i));
        if (const int codePage = m_fonts.codePageWithoutCharset(i))
            word("cpg", codePage);
        m_out.append(' ');
        writeFontName(families[i], m_fonts.isJapanese(i));
        m_out.append(";}");
    }
    m_out.append("}\r\n{\\colortbl ;");
    for (const QRgb rgb : m_colors.colors()) {
        word("red", qRed(rgb));
        word("green", qGreen(rgb));
        word("blue", qBlue(rgb));
        m_out.append(';');
    }
    m_out.append("}\r\n");
    if (!lists.isEmpty())
        m_out.append(lists);
    m_out.append("\\viewkind4\\uc1\\pard");
}

// A kept group's text before a font word of its own reads in the font around it:
// that font becomes one of the family in effect that reads the code page the text was read in.
void Writer::useFontReading(int codePage)
{
    if (codePage == 0)
        return;
    const int font = m_fonts.keptIndexOf(m_fonts.families().at(m_run.font), codePage);
    if (font != m_run.font) {
        word("f", font);
        m_run.font = font;
    }
}

// Each object character is its group as read; hidden text goes in a group of
// its own.
void Writer::writeKept(QStringView text, const QTextCharFormat &format)
{
    const bool japanese = m_fonts.isJapanese(m_run.font);
    for (const QChar ch : text) {
        if (ch != QChar::ObjectReplacementCharacter) {
            // typed with the object's format, in the font of the text before it
            if (const auto symbol = m_fonts.symbolFont(m_run.font))
                writeSymbolText(QStringView(&ch, 1), *symbol);
            else
                writeText(QStringView(&ch, 1), japanese);
            continue;
        }
        if (const QString hidden = hiddenTextOf(format); !hidden.isEmpty()) {
            // In the default font, which is no symbol font: the text reads back as it is.
            m_out.append("{\\v\\f0");
            m_delimit = true;
            writeText(hidden, m_fonts.isJapanese(0));
            m_out.append('}');
        } else {
            QByteArray rtf = keptRtfOf(format);
            if (isFootnote(format)) {
                const KeptFonts fonts = keptFontsOf(format);
                rtf = withWrittenFonts(rtf, fonts, m_fonts);
                useFontReading(fonts.outerCodePage);
            }
            // A picture of its own {\nonshppict} group right after a \shppict would be
            // read back as that picture's copy for older readers: a group keeps them apart.
            if (rtf.startsWith("{\\nonshppict") && m_out.size() == m_shapePictureEnd)
                m_out.append("{}");
            m_out.append(rtf);
            if (rtf.startsWith("{\\*\\shppict"))
                m_shapePictureEnd = m_out.size();
        }
        m_delimit = false;
    }
}

void Writer::writeFontName(const QString &name, bool japanese)
{
    m_delimit = false;
    for (const QChar ch : name) {
        if (ch == u';')
            hexByte(';'); // a literal ";" would end the name
        else if (ch == u'\t' || ch == QChar::LineSeparator)
            unicode(ch.unicode()); // the font table reads no \tab nor \line
        else
            writeText(QStringView(&ch, 1), japanese);
    }
}

// The paragraphs and tables from it on, the last paragraph ending with lastEnd:
// \par, or the word that ends a cell.
void Writer::writeItems(QTextFrame::iterator it, int depth, const char *lastEnd)
{
    while (!it.atEnd()) {
        const QTextFrame *frame = it.currentFrame();
        const QTextBlock block = it.currentBlock();
        ++it;
        if (const auto *table = qobject_cast<const QTextTable *>(frame))
            writeTable(*table, depth + 1);
        else if (frame)
            writeItems(frame->begin(), depth, "par");
        else
            writeParagraph(block, depth, it.atEnd() ? lastEnd : "par");
    }
}

// Rows as Word writes them: the definition before the cells, or for a table in
// a table after them, in {\*\nesttableprops}. A merged cell is the cells it was
// read from, the first with its text and the others empty.
void Writer::writeTable(const QTextTable &table, int depth)
{
    const char *cellEnd = depth == 1 ? "cell" : "nestcell";
    for (int row = 0; row < table.rows(); ++row) {
        const QByteArray definition = rowDefinition(table, row, m_colors);
        if (depth == 1) {
            m_out.append(definition);
            m_delimit = true;
        }
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (isAbsentCell(cell))
                continue;
            if (cell.row() == row && cell.column() == column) {
                writeItems(cell.begin(), depth, cellEnd);
                continue;
            }
            if (m_paragraph != ParagraphFormat() || m_depth != depth)
                writeParagraphFormat(ParagraphFormat(), depth);
            word(cellEnd);
        }
        if (depth == 1) {
            word("row");
        } else {
            m_out.append("{\\*\\nesttableprops");
            m_out.append(definition);
            m_out.append("\\nestrow}");
            m_delimit = false;
        }
        m_out.append("\r\n");
        m_delimit = false;
    }
}

void Writer::writeParagraph(const QTextBlock &block, int depth, const char *end)
{
    const ParagraphFormat &paragraph = paragraphFormat(block.blockFormatIndex());
    if (paragraph != m_paragraph || depth != m_depth)
        writeParagraphFormat(paragraph, depth);
    if (isEmptyParagraph(block)) // it still has the font and size of its line
        writeRunFormat(runFormat(block.charFormatIndex()));
    if (paragraph.list) {
        m_out.append(WriterLists::markerGroup(block, symbolFontIndex(), inSymbolFont()));
        m_delimit = false;
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const RunFormat &run = runFormat(fragment.charFormatIndex());
        if (run.field != m_field)
            switchField(run.field, fragment.charFormat());
        if (run.kept) {
            writeKept(fragment.text(), fragment.charFormat());
            continue;
        }
        writeRunFormat(run);
        const QString text = fragment.text();
        if (const auto symbol = m_fonts.symbolFont(run.font)) {
            writeSymbolText(text, *symbol);
            continue;
        }
        if (run.privateUseFont >= 0) {
            writePrivateUseText(text, static_cast<SymbolFont>(run.privateUseFont));
            continue;
        }
        // Text without Japanese is written the same in either kind of font,
        // so a font becomes Japanese in time when its first Japanese comes.
        if (!m_fonts.isJapanese(run.font) && hasJapaneseCharacters(text))
            m_fonts.markJapanese(run.font);
        writeText(text, m_fonts.isJapanese(run.font));
    }
    switchField(0, {}); // a field ends with its paragraph
    word(end);
    m_out.append("\r\n");
    m_delimit = false;
}

void Writer::writeParagraphFormat(const ParagraphFormat &paragraph, int depth)
{
    word("pard");
    if (depth > 0)
        word("intbl");
    if (depth > 1)
        word("itap", depth);
    if (paragraph.alignment != 'l') {
        const char name[3] = {'q', paragraph.alignment, '\0'};
        word(name);
    }
    if (paragraph.leftTwips != 0)
        word("li", paragraph.leftTwips);
    if (paragraph.rightTwips != 0)
        word("ri", paragraph.rightTwips);
    if (paragraph.firstLineTwips != 0)
        word("fi", paragraph.firstLineTwips);
    if (paragraph.spaceBeforeTwips != 0)
        word("sb", paragraph.spaceBeforeTwips);
    if (paragraph.spaceAfterTwips != 0)
        word("sa", paragraph.spaceAfterTwips);
    if (paragraph.lineSpacing != 0) {
        word("sl", paragraph.lineSpacing);
        word("slmult", paragraph.lineMultiple ? 1 : 0);
    }
    for (const TabStop &tab : paragraph.tabs) {
        if (const char *type = tabTypeWord(tab.type))
            word(type);
        word("tx", tab.twips);
    }
    if (paragraph.list) {
        word("ls", m_lists.numberOf(paragraph.list));
        word("ilvl", WriterLists::levelOf(paragraph.list));
        m_out.append(WriterLists::numberingGroup(paragraph.list, symbolFontIndex(), inSymbolFont()));
        m_delimit = false;
    }
    m_paragraph = paragraph;
    m_depth = depth;
}

void Writer::writeRunFormat(const RunFormat &run)
{
    if (run.font != m_run.font)
        word("f", run.font);
    if (run.halfPoints != m_run.halfPoints)
        word("fs", run.halfPoints);
    if (run.bold != m_run.bold)
        run.bold ? word("b") : word("b", 0);
    if (run.italic != m_run.italic)
        run.italic ? word("i") : word("i", 0);
    if (run.underline != m_run.underline)
        word(underlineWord(run.underline));
    if (run.color != m_run.color)
        word("cf", run.color);
    if (run.highlight != m_run.highlight)
        word("highlight", run.highlight);
    if (run.strike != m_run.strike)
        run.strike ? word("strike") : word("strike", 0);
    if (run.script != m_run.script)
        word(run.script == QTextCharFormat::AlignSuperScript ? "super"
             : run.script == QTextCharFormat::AlignSubScript ? "sub" : "nosupersub");
    if (run.raise != m_run.raise)
        run.raise < 0 ? word("dn", -run.raise) : word("up", run.raise);
    m_run = run;
}

void Writer::writeText(QStringView text, bool japanese)
{
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit >= 0x20 && unit < 0x7F) {
            if (unit == u'\\' || unit == u'{' || unit == u'}') {
                m_out.append('\\');
                m_out.append(static_cast<char>(unit));
                m_delimit = false;
            } else {
                literal(static_cast<char>(unit));
            }
            continue;
        }
        switch (unit) {
        case u'\t': word("tab"); continue;
        case 0x2028: word("line"); continue;
        case 0x00A0: m_out.append("\\~"); m_delimit = false; continue;
        case 0x2011: m_out.append("\\_"); m_delimit = false; continue;
        case 0x00AD: m_out.append("\\-"); m_delimit = false; continue;
        default: break;
        }
        const int code = japanese && unit >= 0x80 ? cp932::encodeChar(unit) : -1;
        if (code > 0xFF) {
            hexByte(code >> 8);
            hexByte(code & 0xFF);
        } else if (code > 0 && !cp932::isLeadByte(static_cast<unsigned char>(code))) {
            hexByte(code);
        } else {
            // A lead byte kept alone would be read back as a pair with the next byte.
            unicode(unit);
        }
    }
}

// A symbol font's characters go back as the bytes they were read from. Any
// other character typed into its run is written as \uN, even a letter, whose
// byte would read back as the font's glyph.
void Writer::writeSymbolText(QStringView text, SymbolFont font)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype start = i;
        char32_t ch = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const int byte = symbolByte(font, ch);
        if (byte >= 0x20 && byte < 0x7F) {
            const char16_t printable = static_cast<char16_t>(byte);
            writeText(QStringView(&printable, 1), false);
        } else if (byte >= 0) {
            hexByte(byte);
        } else if (ch >= 0x20 && ch < 0x7F) {
            unicode(static_cast<char16_t>(ch));
        } else {
            writeText(text.sliced(start, i + 1 - start), false);
        }
    }
}

// A field read is told by its instruction and its number in the note; a link
// made in the editor by its address.
int Writer::fieldOf(const QTextCharFormat &format)
{
    const QByteArray instruction = format.property(kFieldInstructionProperty).toByteArray();
    const QString href = format.isAnchor() ? format.anchorHref() : QString();
    if (instruction.isEmpty() && href.isEmpty())
        return 0;
    const QByteArray key = instruction + '\0' + href.toUtf8() + '\0'
        + QByteArray::number(format.hasProperty(kFieldNumberProperty) ? format.intProperty(kFieldNumberProperty) : -1);
    const int next = static_cast<int>(m_fieldNumbers.size()) + 1;
    return *m_fieldNumbers.insert(key, m_fieldNumbers.value(key, next));
}

// Ends the field being written, whose result group takes its formats with it,
// and begins the one given (0: none): its instruction as read, or a link to the
// anchor's address.
void Writer::switchField(int field, const QTextCharFormat &format)
{
    if (field == m_field)
        return;
    if (m_field != 0) {
        m_out.append("}}");
        m_run = m_runBeforeField;
        m_delimit = false;
    }
    m_field = field;
    if (field == 0)
        return;
    m_runBeforeField = m_run;
    m_out.append("{\\field");
    const QByteArray instruction = format.property(kFieldInstructionProperty).toByteArray();
    if (instruction.isEmpty()) {
        m_out.append("{\\*\\fldinst{HYPERLINK \"");
        m_delimit = false;
        writeText(QString(format.anchorHref()).replace(u'"', QStringLiteral("%22")), false);
        m_out.append("\"}}");
    } else {
        m_out.append(instruction);
    }
    m_out.append("{\\fldrslt");
    m_delimit = true;
}

// Characters read from a symbol font's glyph area go back there as \uN;
// others typed among them are text of the run's font.
void Writer::writePrivateUseText(QStringView text, SymbolFont font)
{
    for (const QChar ch : text) {
        const int byte = ch.isSurrogate() ? -1 : symbolByte(font, ch.unicode());
        if (byte >= 0)
            unicode(static_cast<char16_t>(0xF000 + byte));
        else
            writeText(QStringView(&ch, 1), m_fonts.isJapanese(m_run.font));
    }
}

void Writer::word(const char *name)
{
    m_out.append('\\');
    m_out.append(name);
    m_delimit = true;
}

void Writer::word(const char *name, int parameter)
{
    m_out.append('\\');
    m_out.append(name);
    number(parameter);
    m_delimit = true;
}

void Writer::literal(char ch)
{
    if (m_delimit)
        m_out.append(' ');
    m_out.append(ch);
    m_delimit = false;
}

void Writer::number(int value)
{
    char digits[12];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    m_out.append(QByteArrayView(digits, result.ptr - digits));
}


// \uN takes a signed 16-bit number; "?" is the fallback for older readers.
void Writer::unicode(char16_t unit)
{
    m_out.append("\\u");
    number(unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit));
    m_out.append('?');
    m_delimit = false;
}

} // namespace kobin::rtf::writing

namespace kobin::rtf {

QByteArray writeRtf(const QTextDocument &document)
{
    return writing::Writer(document).write();
}

} // namespace kobin::rtf
