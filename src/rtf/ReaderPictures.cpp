#include "Reader.h"

#include "RtfReader.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace kobin::rtf::reading {

namespace {

int boundedPixels(double pixels)
{
    return qBound(1, qRound(pixels), kMaxPicturePixels);
}

// The size in pixels of a PNG, JPEG or DIB read from its own bytes.
QSize sizeInData(const Picture &picture)
{
    if (picture.kind == PictureKind::Dib) {
        if (picture.data.size() < 12)
            return {};
        const auto *bytes = reinterpret_cast<const uchar *>(picture.data.constData());
        const quint32 headerSize = qFromLittleEndian<quint32>(bytes);
        if (headerSize == 12)
            return {qFromLittleEndian<quint16>(bytes + 4), qFromLittleEndian<quint16>(bytes + 6)};
        return {qFromLittleEndian<qint32>(bytes + 4), qAbs(qFromLittleEndian<qint32>(bytes + 8))};
    }
    QByteArray data = picture.data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

} // namespace

// Pictures, objects and \shppict groups are kept whole, from their "{" to their
// "}", for the writer to write back as they were; the first picture read in
// one is what the note shows of it.
void Reader::readKeptWord(Word word, const Token &token, bool beginsGroup)
{
    GroupState &group = top();
    const Destination destination = group.destination;
    const bool inText = destination == Destination::Text && !m_kept;
    // A destination word after text in its group keeps only itself and what follows it.
    const qsizetype start = beginsGroup ? group.start : m_tokenStart;
    switch (word) {
    case Word::Picture:
        if ((destination != Destination::Text && destination != Destination::Kept) || m_picture) {
            group.destination = Destination::Skip;
            return;
        }
        if (inText) {
            m_kept = KeptReading{KeptObject{}, m_groups.size(), start};
            m_kept->opensMidGroup = !beginsGroup;
        }
        m_picture = PictureReading{};
        m_picture->depth = m_groups.size();
        m_picture->start = group.start;
        group.destination = Destination::Picture;
        return;
    case Word::NonShapePicture:
        // The picture for readers without \shppict: kept with it, not shown again.
        if (!inText || (m_pendingKept && m_pendingKept->depth == m_groups.size())) {
            if (inText) {
                m_kept = std::exchange(m_pendingKept, std::nullopt);
                m_kept->shapePicture = false;
            }
            group.destination = Destination::Skip;
            return;
        }
        [[fallthrough]]; // alone, it is the note's picture
    case Word::ShapePicture:
    case Word::Object:
        if (inText) {
            m_kept = KeptReading{KeptObject{}, m_groups.size(), start};
            m_kept->opensMidGroup = !beginsGroup;
            m_kept->object.kind = word == Word::Object ? KeptObject::Kind::Object : KeptObject::Kind::Picture;
            m_kept->shapePicture = word == Word::ShapePicture;
        }
        group.destination = inText || destination == Destination::Kept ? Destination::Kept : Destination::Skip;
        return;
    case Word::ObjectWidth:
        if (m_kept && destination == Destination::Kept)
            m_kept->widthTwips = qBound(0, token.parameter, kMaxPicturePixels * 15);
        return;
    case Word::ObjectHeight:
        if (m_kept && destination == Destination::Kept)
            m_kept->heightTwips = qBound(0, token.parameter, kMaxPicturePixels * 15);
        return;
    default:
        return;
    }
}

void Reader::readPictureWord(const Token &token)
{
    const PictureWordMeaning *found = findPictureWord(std::string_view(token.name.data(), token.name.size()));
    if (!found)
        return;
    PictureReading &reading = *m_picture;
    Picture &picture = reading.picture;
    const int value = qBound(0, token.parameter, 1'000'000);
    switch (found->word) {
    case PictureWord::Kind: picture.kind = found->kind; return;
    case PictureWord::Width: picture.sourceSize.setWidth(value); return;
    case PictureWord::Height: picture.sourceSize.setHeight(value); return;
    case PictureWord::GoalWidth: reading.goalWidth = value; return;
    case PictureWord::GoalHeight: reading.goalHeight = value; return;
    case PictureWord::ScaleX: reading.scaleX = qBound(1, value, 10000); return;
    case PictureWord::ScaleY: reading.scaleY = qBound(1, value, 10000); return;
    case PictureWord::BitmapWidthBytes: picture.bitmapWidthBytes = value; return;
    case PictureWord::BitmapBitsPerPixel: picture.bitmapBitsPerPixel = value; return;
    }
}

// Hex digits two to a byte; anything else between them (spaces) is not data.
void Reader::readPictureData(QByteArrayView bytes)
{
    if (!m_decodesPictures)
        return;
    PictureReading &reading = *m_picture;
    QByteArray &data = reading.picture.data;
    data.reserve(data.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const int digit = Tokenizer::hexDigit(c);
        if (digit < 0)
            continue;
        if (reading.highNibble < 0) {
            reading.highNibble = digit;
        } else {
            data.append(static_cast<char>(reading.highNibble << 4 | digit));
            reading.highNibble = -1;
        }
    }
}

// The picture's size as shown: its goal size in twips, or else its own size
// (pixels for bitmaps, hundredths of a millimetre for metafiles), scaled.
void Reader::finishPicture()
{
    PictureReading reading = std::move(*m_picture);
    m_picture.reset();
    Picture &picture = reading.picture;
    const bool bitmap = picture.kind == PictureKind::Png || picture.kind == PictureKind::Jpeg
        || picture.kind == PictureKind::Dib || picture.kind == PictureKind::Bitmap;
    QSize own = picture.sourceSize;
    if (bitmap && (own.width() <= 0 || own.height() <= 0) && picture.kind != PictureKind::Bitmap) {
        if (!m_decodesPictures) {
            const qsizetype end = qMin(m_tokens.position(), m_input.size());
            picture.data = readKeptPicture(m_input.sliced(reading.start, end - reading.start))
                               .value_or(Picture{}).data;
        }
        own = sizeInData(picture);
    }
    const double ownToPixels = bitmap ? 1.0 : 96.0 / 2540.0;
    const auto shown = [&](int goal, int ownLength, int scale) {
        const double pixels = goal > 0 ? goal / kTwipsPerPixel
                                       : (ownLength > 0 ? ownLength * ownToPixels : kDefaultPicturePixels);
        return boundedPixels(pixels * scale / 100.0);
    };
    picture.shownSize = QSizeF(shown(reading.goalWidth, own.width(), reading.scaleX),
                               shown(reading.goalHeight, own.height(), reading.scaleY));
    if (m_kept && !m_kept->object.picture)
        m_kept->object.picture = std::move(picture);
}

// A group cut off by the end of the input gets the braces it lacks, so that the
// note written back stays RTF.
void Reader::finishKept(qsizetype end, int unclosedGroups)
{
    KeptReading kept = std::move(*m_kept);
    m_kept.reset();
    end = qBound(kept.start, end, m_input.size());
    while (kept.opensMidGroup && kept.start < end && (m_input[kept.start] == '\r' || m_input[kept.start] == '\n'))
        ++kept.start;
    kept.object.rtf = m_input.sliced(kept.start, end - kept.start).toByteArray();
    if (kept.opensMidGroup)
        kept.object.rtf.prepend('{');
    if (unclosedGroups > 0 && kept.object.rtf.contains("\\bin"))
        return; // its \bin data ran to the end: written back, it would take in what follows it
    if (unclosedGroups > 0) {
        // A backslash the input ended on escapes nothing: kept, it would escape the brace that closes.
        qsizetype backslashes = 0;
        while (backslashes < kept.object.rtf.size() && kept.object.rtf[kept.object.rtf.size() - 1 - backslashes] == '\\')
            ++backslashes;
        if (backslashes % 2 == 1)
            kept.object.rtf.chop(1);
    }
    kept.object.rtf.append(QByteArray(unclosedGroups, '}'));
    if (kept.object.kind == KeptObject::Kind::Footnote) {
        finishFootnote(kept.object);
        flushHiddenText();
        appendKept(kept.object);
        return;
    }
    if (!kept.object.picture) {
        kept.object.boxSize = QSizeF(boundedPixels(kept.widthTwips > 0 ? kept.widthTwips / kTwipsPerPixel
                                                                          : kDefaultPicturePixels),
                                     boundedPixels(kept.heightTwips > 0 ? kept.heightTwips / kTwipsPerPixel
                                                                           : kDefaultPicturePixels));
    }
    if (kept.shapePicture) {
        if (m_field)
            m_field->shown = true; // the picture comes into the note once its \nonshppict is known
        m_pendingKept = std::move(kept);
        return;
    }
    flushHiddenText();
    appendKept(kept.object);
}

// After a \shppict only a "{" and the \nonshppict in it may come before the
// picture is put in the note.
bool Reader::continuesShapePicture(const Token &token) const
{
    if (token.kind == Token::Kind::GroupStart)
        return m_groups.size() + 1 == m_pendingKept->depth;
    if (m_groups.size() != m_pendingKept->depth)
        return false;
    return (token.kind == Token::Kind::ControlSymbol && token.parameter == '*')
        || (token.kind == Token::Kind::ControlWord && token.name == "nonshppict");
}

void Reader::flushPendingKept()
{
    if (!m_pendingKept)
        return;
    flushHiddenText();
    const KeptReading kept = *std::exchange(m_pendingKept, std::nullopt);
    appendKept(kept.object);
    // A group opened after the picture, not the picture's, is where it stands:
    // that group may still begin a field.
    if (m_groups.size() == kept.depth && m_groups.size() >= 2) {
        top().textRead = false;
        m_groups[m_groups.size() - 2].textRead = true;
    }
}

void Reader::appendKept(const KeptObject &object)
{
    if (!m_groups.empty())
        top().textRead = true;
    if (m_field)
        m_field->shown = true;
    m_sink.appendKept(object);
}

// Hidden text is not the note's text: it stays in the note as one object.
void Reader::flushHiddenText()
{
    if (m_hiddenText.isEmpty())
        return;
    KeptObject hidden;
    hidden.kind = KeptObject::Kind::HiddenText;
    hidden.hiddenText = std::exchange(m_hiddenText, QString());
    appendKept(hidden);
}

} // namespace kobin::rtf::reading
