// RTF figures: reading RichEdit-style Japanese notes of 1 MB and 10 MB into a
// QTextDocument, and writing such documents back as RTF.
#include "Cp932.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <map>

namespace {

QByteArray escaped(const QString &text)
{
    QByteArray bytes;
    kobin::cp932::encode(text, bytes);
    QByteArray out;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x80)
            out += byte;
        else
            out += "\\'" + QByteArray::number(value, 16).rightJustified(2, '0');
    }
    return out;
}

// A note as the Windows rich-text control writes it: Japanese paragraphs with
// a bold word, a coloured phrase and the odd character outside code page 932.
QByteArray richEditNote(qsizetype size)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset128 "
        + escaped(QStringLiteral("ＭＳ Ｐゴシック")) + ";}{\\f1\\fnil\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18 ";
    const QByteArray sentence = escaped(QStringLiteral("今日は表計算ソフトの能力について調べた。"));
    const QByteArray bold = escaped(QStringLiteral("重要"));
    const QByteArray red = escaped(QStringLiteral("①髙～ｶﾀｶﾅ"));
    for (int paragraph = 0; rtf.size() < size; ++paragraph) {
        rtf += sentence + "\\b " + bold + "\\b0 " + sentence + "\\cf1 " + red + "\\cf0 " + sentence;
        if (paragraph % 4 == 0)
            rtf += "\\f1 Excel 2000 \\f0\\u-10179?\\u-8704?";
        rtf += sentence + "\\par\r\n";
    }
    return rtf + "}\r\n";
}

const QByteArray &note(qsizetype megabytes)
{
    static std::map<qsizetype, QByteArray> notes;
    QByteArray &rtf = notes[megabytes];
    if (rtf.isEmpty())
        rtf = richEditNote(megabytes * 1024 * 1024);
    return rtf;
}

void ReadRtf(benchmark::State &state)
{
    const QByteArray &rtf = note(state.range(0));
    for (auto _ : state) {
        QTextDocument document;
        kobin::rtf::readRtf(rtf, document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(ReadRtf)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void WriteRtf(benchmark::State &state)
{
    QTextDocument document;
    kobin::rtf::readRtf(note(state.range(0)), document);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray rtf = kobin::rtf::writeRtf(document);
        written = rtf.size();
        benchmark::DoNotOptimize(rtf.constData());
    }
    state.SetBytesProcessed(state.iterations() * written);
}
BENCHMARK(WriteRtf)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // documents need fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
