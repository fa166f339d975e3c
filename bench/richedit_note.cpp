// Writes a note shaped the way the Windows rich-text control writes one (see
// RichEditNote.h) to standard output: richedit_note [megabytes, default 10].
#include "RichEditNote.h"

#include <QByteArray>
#include <cstdio>

int main(int argc, char **argv)
{
    const int megabytes = argc > 1 ? QByteArray(argv[1]).toInt() : 10;
    if (megabytes <= 0) {
        std::fputs("usage: richedit_note [megabytes]\n", stderr);
        return 2;
    }
    const QByteArray rtf = bench::richEditNote(static_cast<qsizetype>(megabytes) * 1024 * 1024).rtf;
    return std::fwrite(rtf.constData(), 1, static_cast<size_t>(rtf.size()), stdout) == static_cast<size_t>(rtf.size()) ? 0 : 1;
}
