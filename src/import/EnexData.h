#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>

namespace kobin::import {

// An Evernote export read through a filter: the text of a <data> element (a
// resource's base64) longer than limit bytes is replaced by kTooLarge, so that
// reading a note never holds more than limit bytes of one resource however
// large the file's resources are. Written here because an XML reader hands out
// an element's text whole; the filter knows only where <data> elements, CDATA
// sections and comments begin and end.
class EnexData : public QIODevice
{
public:
    static constexpr char kTooLarge[] = "#too-large#"; // no base64 holds "#"

    EnexData(const QString &path, qint64 limit);
    bool open(OpenMode mode) override;
    bool isSequential() const override { return true; }
    bool atEnd() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    enum class State { Text, Cdata, Comment, DataTag, Data, SkippedData };
    void filter(const QByteArray &chunk);
    void take(char byte);
    bool recentEndsWith(const char *ending) const;

    QFile m_file;
    qint64 m_limit;
    State m_state = State::Text;
    QByteArray m_recent; // the last bytes passed, enough to see where a part begins or ends
    QByteArray m_data;   // a <data> element's text, held until its end shows whether it is kept
    QByteArray m_out;
};

} // namespace kobin::import
