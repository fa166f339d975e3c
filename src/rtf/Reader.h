#pragma once

#include "CodePages.h"
#include "ListMarkers.h"
#include "ReaderSink.h"
#include "ReaderState.h"
#include "ReaderWords.h"
#include "RtfTokenizer.h"
#include "SymbolFonts.h"

#include <QColor>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kobin::rtf::reading {

// Reads one document: the tokens drive a stack of group states, and text goes
// through a byte buffer so that double-byte characters split over escapes,
// literal bytes and escaped symbols are decoded whole.
class Reader
{
public:
    enum class PictureData { Skipped, Decoded };

    Reader(QByteArrayView input, ReaderSink &sink, PictureData pictureData = PictureData::Skipped)
        : m_input(input), m_tokens(input), m_sink(sink), m_keepsFormats(sink.keepsFormats()),
          m_decodesPictures(pictureData == PictureData::Decoded)
    {
    }

    void read();

private:
    GroupState &top() { return m_groups.back(); }
    bool consumeFallback(Token &token);
    void openGroup(qsizetype start);
    void closeGroup();
    void readKeptWord(Word word, const Token &token, bool beginsGroup);
    void beginFootnote(bool beginsGroup);
    void readFootnoteWord(Word word, const Token &token);
    void finishFootnote(KeptObject &footnote);
    void readPictureWord(const Token &token);
    void readPictureData(QByteArrayView bytes);
    void finishPicture();
    void finishKept(qsizetype end, int unclosedGroups = 0);
    bool continuesShapePicture(const Token &token) const;
    void flushPendingKept();
    void flushHiddenText();
    void appendKept(const KeptObject &object);
    void readText(QByteArrayView bytes);
    void readSymbol(char symbol);
    void readWord(const Token &token);
    bool readDocumentWord(Word word, const Token &token);
    void readTableWord(Word word, int value);
    bool readCharacterWord(Word word, const Token &token);
    void readParagraphWord(Word word, const Token &token);
    bool readFieldWord(Word word, bool beginsGroup);
    bool readListWord(Word word, const Token &token, bool beginsGroup);
    void readListTableWord(Word word, int value);
    bool readListNumberingWord(Word word, int value);
    void putListMarkerText(QStringView text);
    void endListNumbering();
    void endLevelText();
    void announceListItem(const ParagraphState &paragraph);
    ListLevel wordListLevel(int override, int level);
    std::pair<const ListOverride *, ListDefinition *> wordListEntries(int override);
    const WordList &wordList(int override);
    int keptFontNumber(KeptFonts &fonts, QHash<int, int> &numbers, int number) const;
    void beginListEntry();
    void endListEntry();
    void closeField();
    bool readRowWord(Word word, const Token &token);
    void setBorderStyle(QTextFrameFormat::BorderStyle style);
    void endCell(int depth);
    void endRow(int depth);
    void readUnderline(const Token &token, QTextCharFormat::UnderlineStyle style);
    void readUnicode(int value);
    [[nodiscard]] bool emitGlyphAreaCharacter(char16_t unit);
    void emitPrivateUse(SymbolFont font, uint8_t byte);

    // Inline: every piece of text and every escaped byte comes through them.
    bool takesBytes() const
    {
        const Destination destination = m_groups.back().destination;
        return destination == Destination::Text || destination == Destination::FontTable
            || destination == Destination::FieldInstruction || destination == Destination::ListMarkerText
            || destination == Destination::Footnote;
    }
    void addBytes(QByteArrayView bytes)
    {
        if (takesBytes())
            m_bytes.append(bytes.data(), static_cast<size_t>(bytes.size()));
    }
    void addByte(char byte)
    {
        if (takesBytes())
            m_bytes.push_back(byte);
    }
    void addBytesFrom(char byte); // and the escaped bytes right after it, as Japanese comes
    void flushBytes();
    void emitText(QStringView text);
    void put(QStringView text);
    void resolveLoneSurrogate();
    bool flushParagraph();
    void endParagraph();
    void updateCharFormat();

    int documentCodePage() const;
    int codePageOf(const FontEntry &font) const;
    bool isSymbolFont(const FontEntry &font) const;
    int currentCodePage() const;
    std::optional<SymbolFont> currentSymbolFont() const;
    std::optional<SymbolFont> privateUseFont(char16_t unit) const;
    const FontEntry *fontOf(const CharState &chars) const;
    const QTextCharFormat &sharedCharFormat(const CharState &chars);
    QTextCharFormat charFormat(const CharState &chars) const;
    QColor color(int index) const;
    const QTextBlockFormat &sharedBlockFormat(const ParagraphState &paragraph);
    static QTextBlockFormat blockFormat(const ParagraphState &paragraph);
    static void setTabStops(QTextBlockFormat &format, const ParagraphState &paragraph);

    QByteArrayView m_input;
    Tokenizer m_tokens;
    ReaderSink &m_sink;
    const bool m_keepsFormats;
    const bool m_decodesPictures;
    std::optional<PictureReading> m_picture;
    std::optional<KeptReading> m_kept;
    std::optional<FieldReading> m_field; // fields in a field's result are read as their results
    std::vector<FieldEntry> m_fields;
    // A \shppict read whole, kept until it is known whether a \nonshppict follows.
    std::optional<KeptReading> m_pendingKept;
    QString m_hiddenText;
    QString m_footnoteText; // of the footnote being read
    bool m_footnoteNumbered = false; // a \chftn stands right before the footnote, which shows its number
    qsizetype m_tokenStart = 0; // where the token read last begins, or white space before it
    CodePageDecoder m_decoder;
    std::vector<GroupState> m_groups;
    int m_overflowDepth = 0;
    bool m_ended = false;
    ParagraphState m_lastParagraph;

    int m_ansiCodePage = 0;
    int m_charsetCodePage = kCodePageWestern;
    int m_defaultFont = 0;
    std::map<int, FontEntry> m_fonts;
    FontEntry *m_tableFont = nullptr;
    std::vector<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    std::vector<ListDefinition> m_listDefinitions;
    std::vector<ListOverride> m_listOverrides;
    bool m_readingOverride = false;
    size_t m_listEntryDepth = 0; // of the {\list} or {\listoverride} being read
    qsizetype m_listEntryStart = 0;
    std::map<int, WordList> m_wordLists; // by \ls, made as their first item is read
    std::optional<ListState> m_listNumbering; // the {\*\pn} being read
    size_t m_listNumberingDepth = 0;
    enum class MarkerText : uint8_t { Before, After, Level } m_markerText = MarkerText::Before;
    QString m_levelText;
    ListState m_pnList; // the numbering of the last paragraph's {\*\pn} list, while it is open
    bool m_pnListOpen = false;
    int m_pnLists = 0;
    bool m_colorGiven = false;

    // The cell being defined, until its \cellx.
    struct PendingCell {
        CellDefinition definition;
        int side = -1; // the CellSide the \brdr words describe; -1: a border not of a cell
        int rowSide = -1; // or the RowSide
        QColor background;
        QColor pattern;
        int shading = 0;
    };
    static QColor shading(const PendingCell &cell);
    void readBorderOf(int cellSide, int rowSide);
    CellBorder *borderBeingRead();
    static void applyRowBorders(RowDefinition &row);
    std::array<RowDefinition, kMaxTableDepth + 1> m_rows; // by the depth of their tables
    int m_rowDepth = 1; // of the row \trowd defines
    PendingCell m_cell;

    // Formats made so far, each shared by all the text in it, which spares the
    // document comparing them property by property. Anything read into the font
    // and colour tables they are made from forgets them.
    std::unordered_map<CharState, QTextCharFormat, CharStateHash> m_charFormats;
    ParagraphState m_blockFormatState;
    QTextBlockFormat m_blockFormat = blockFormat(m_blockFormatState);

    std::string m_bytes; // std::string appends a byte inline, and most Japanese comes a byte at a time
    QString m_decoded;
    int m_fallbackToSkip = 0;
    char16_t m_highSurrogate = 0;
    CharState m_sinkState;
    bool m_sinkStateSet = false;
};

} // namespace kobin::rtf::reading
