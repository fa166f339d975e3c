#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstring>

namespace kobin::rtf {

// The bytes written so far. QByteArray::append checks and grows on every call;
// this checks a pointer, and the writer appends a few bytes at a time. Room can
// be kept in front of them for bytes that are written last but go first.
class Output
{
public:
    explicit Output(qsizetype expected, qsizetype room = 0)
        : m_bytes(room + qMax<qsizetype>(expected, 64), Qt::Uninitialized), m_room(room),
          m_next(m_bytes.data() + room), m_end(m_bytes.data() + m_bytes.size())
    {
    }

    void append(char byte)
    {
        makeRoom(1);
        *m_next++ = byte;
    }
    void append(QByteArrayView bytes)
    {
        makeRoom(bytes.size());
        std::memcpy(m_next, bytes.data(), static_cast<size_t>(bytes.size()));
        m_next += bytes.size();
    }

    // How many bytes have been appended.
    qsizetype size() const { return m_next - m_bytes.constData() - m_room; }

    // The bytes, after front, which goes in the room kept when it fits there
    // (dropping bytes in front of a QByteArray moves none). Uses the output up.
    QByteArray take(QByteArrayView front = {})
    {
        m_bytes.truncate(m_next - m_bytes.data());
        if (front.size() > m_room) {
            m_bytes.remove(0, m_room);
            m_bytes.prepend(front);
        } else if (!front.isEmpty()) {
            const qsizetype unused = m_room - front.size();
            std::memcpy(m_bytes.data() + unused, front.data(), static_cast<size_t>(front.size()));
            m_bytes.remove(0, unused);
        }
        return std::move(m_bytes);
    }

private:
    void makeRoom(qsizetype count)
    {
        if (m_end - m_next < count)
            grow(count);
    }
    void grow(qsizetype count)
    {
        const qsizetype used = m_next - m_bytes.data();
        m_bytes.resize(qMax(used + count, m_bytes.size() * 2));
        m_next = m_bytes.data() + used;
        m_end = m_bytes.data() + m_bytes.size();
    }

    QByteArray m_bytes;
    qsizetype m_room;
    char *m_next;
    char *m_end;
};

} // namespace kobin::rtf
