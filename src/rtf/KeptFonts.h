#pragma once

// Groups kept as read (the entries of Word's list tables) name fonts by their
// number in the font table they were read with. The writer numbers fonts its
// own way, so such a group carries the fonts it names with it, numbered in its
// own small list, and each \fN is renumbered on the way in and on the way out.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <functional>

namespace kobin::rtf {

struct KeptFonts {
    QStringList families; // by the number the group's \fN give
    QList<int> codePages; // the code page each one's bytes were read in (kCodePageSymbol: a symbol font)
    int outerCodePage = 0; // a footnote's: that of its text before a \fN of its own, the font around it
};

// The group with the number of each \fN word (a bare \f: 0) replaced by newNumber(N); every
// other byte as it was.
QByteArray renumberFonts(QByteArrayView rtf, const std::function<int(int)> &newNumber);

} // namespace kobin::rtf
