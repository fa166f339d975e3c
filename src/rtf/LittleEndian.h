#pragma once

#include <QByteArrayView>
#include <QtEndian>

namespace kobin::rtf {

// The little-endian field of type T at offset in bytes, or 0 when the field
// does not lie wholly inside them: callers check sizes once and never read out
// of bounds on a hostile length.
template <typename T>
T littleEndianAt(QByteArrayView bytes, qint64 offset)
{
    if (offset < 0 || offset > bytes.size() - static_cast<qint64>(sizeof(T)))
        return T{};
    return qFromLittleEndian<T>(bytes.data() + offset);
}

} // namespace kobin::rtf
