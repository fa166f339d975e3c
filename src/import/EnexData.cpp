#include "EnexData.h"

#include <cstring>

namespace kobin::import {

EnexData::EnexData(const QString &path, qint64 limit) : m_file(path), m_limit(limit) {}

bool EnexData::open(OpenMode mode)
{
    return mode == ReadOnly && m_file.open(QIODevice::ReadOnly) && QIODevice::open(mode);
}

bool EnexData::atEnd() const
{
    return m_out.isEmpty() && m_file.atEnd() && QIODevice::atEnd();
}

qint64 EnexData::readData(char *data, qint64 maxSize)
{
    while (m_out.size() < maxSize && !m_file.atEnd()) {
        const QByteArray chunk = m_file.read(1 << 16);
        if (chunk.isEmpty())
            break;
        filter(chunk);
    }
    const qint64 size = std::min<qint64>(maxSize, m_out.size());
    std::memcpy(data, m_out.constData(), static_cast<size_t>(size));
    m_out.remove(0, size);
    return size;
}

bool EnexData::recentEndsWith(const char *ending) const
{
    return m_recent.endsWith(ending);
}

void EnexData::filter(const QByteArray &chunk)
{
    for (const char byte : chunk)
        take(byte);
}

void EnexData::take(char byte)
{
    m_recent.append(byte);
    if (m_recent.size() > 16)
        m_recent.remove(0, m_recent.size() - 9);
    switch (m_state) {
    case State::Text:
        m_out.append(byte);
        if (recentEndsWith("<![CDATA["))
            m_state = State::Cdata;
        else if (recentEndsWith("<!--"))
            m_state = State::Comment;
        else if (m_recent.size() >= 6 && std::memcmp(m_recent.constData() + m_recent.size() - 6, "<data", 5) == 0
                 && (byte == '>' || byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n'))
            m_state = byte == '>' ? State::Data : State::DataTag;
        return;
    case State::Cdata:
        m_out.append(byte);
        if (recentEndsWith("]]>"))
            m_state = State::Text;
        return;
    case State::Comment:
        m_out.append(byte);
        if (recentEndsWith("-->"))
            m_state = State::Text;
        return;
    case State::DataTag:
        m_out.append(byte);
        if (byte == '>')
            m_state = recentEndsWith("/>") ? State::Text : State::Data;
        return;
    case State::Data:
    case State::SkippedData:
        // Base64 holds no "<": the first one begins the end tag.
        if (byte == '<') {
            m_out.append(m_state == State::Data ? m_data : QByteArray(kTooLarge));
            m_out.append(byte);
            m_data.clear();
            m_state = State::Text;
        } else if (m_state == State::Data) {
            m_data.append(byte);
            if (m_data.size() > m_limit) {
                m_data.clear();
                m_data.squeeze();
                m_state = State::SkippedData;
            }
        }
        return;
    }
}

} // namespace kobin::import
