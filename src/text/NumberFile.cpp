#include "NumberFile.h"

#include "AtomicFile.h"
#include "Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace kobin {

QString formatSingle(float value)
{
    return QString::number(static_cast<double>(value), 'g', 7);
}

bool writeNumberFile(const QString &path, float value)
{
    return saveFileAtomically(path, formatSingle(value).toLatin1() + "\r\n");
}

std::optional<float> readNumberFile(const QString &path)
{
    QFile file(path);
    // Only its first bytes count, but a pipe would block even the opening.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    static const QRegularExpression leadingNumber(
        QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    const auto match = leadingNumber.match(decodeSystemText(file.read(64)));
    if (!match.hasMatch())
        return std::nullopt;
    const double value = match.captured(1).toDouble();
    if (!std::isfinite(value) || std::fabs(value) > 1e9)
        return std::nullopt;
    return static_cast<float>(value);
}

} // namespace kobin
