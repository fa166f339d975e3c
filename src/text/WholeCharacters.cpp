#include "WholeCharacters.h"

namespace kobin {

QStringView leftWholeCharacters(QStringView text, qsizetype maxLength)
{
    if (text.size() <= maxLength)
        return text;
    if (maxLength <= 0)
        return {};
    const bool cutsPair = text[maxLength - 1].isHighSurrogate() && text[maxLength].isLowSurrogate();
    return text.first(cutsPair ? maxLength - 1 : maxLength);
}

} // namespace kobin
