// RTF figures: reading notes of 1 MB and 10 MB into a QTextDocument, turning
// them into plain text as kobin-cli rtf2txt does, and writing such documents
// back as RTF. Two kinds of note: a sparse one (long paragraphs, few formats)
// and one shaped the way the Windows rich-text control writes them.
#include "Cp932.h"
#include "RichEditNote.h"
#include "RichTextFiles.h"
#include "RtfConversion.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <map>

namespace {

enum NoteKind { Sparse = 0, RichEditShaped = 1 };

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

// Long Japanese paragraphs with a bold word, a coloured phrase and the odd
// character outside code page 932.
QByteArray sparseNote(qsizetype size)
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

// The note of a kind and size in megabytes, and the plain text it must read as
// (empty when not known).
const bench::RichEditNote &note(const benchmark::State &state)
{
    static std::map<std::pair<int64_t, int64_t>, bench::RichEditNote> notes;
    const auto kind = static_cast<NoteKind>(state.range(0));
    const qsizetype size = state.range(1) * 1024 * 1024;
    bench::RichEditNote &found = notes[{state.range(0), state.range(1)}];
    if (found.rtf.isEmpty())
        found = kind == RichEditShaped ? bench::richEditNote(size) : bench::RichEditNote{sparseNote(size), {}};
    return found;
}

void label(benchmark::State &state)
{
    state.SetLabel(state.range(0) == RichEditShaped ? "RichEdit-shaped" : "sparse");
}

void ReadRtf(benchmark::State &state)
{
    const bench::RichEditNote &rtf = note(state);
    {
        QTextDocument document;
        kobin::rtf::readRtf(rtf.rtf, document);
        if (!rtf.text.isEmpty() && kobin::richtext::plainText(document, u"\n") + u'\n' != rtf.text)
            state.SkipWithError("the note does not read as the text it holds");
    }
    for (auto _ : state) {
        QTextDocument document;
        kobin::rtf::readRtf(rtf.rtf, document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.rtf.size());
    label(state);
}

// kobin-cli rtf2txt: the file read and turned into UTF-8 plain text.
void ConvertToText(benchmark::State &state)
{
    const bench::RichEditNote &rtf = note(state);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("note.rtf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf.rtf) != rtf.rtf.size())
        state.SkipWithError("cannot write the note");
    file.close();
    const auto text = kobin::richtext::convertRtfFile(path, kobin::richtext::Conversion::PlainText);
    if (!text || (!rtf.text.isEmpty() && *text != rtf.text.toUtf8()))
        state.SkipWithError("the note does not read as the text it holds");
    for (auto _ : state)
        benchmark::DoNotOptimize(kobin::richtext::convertRtfFile(path, kobin::richtext::Conversion::PlainText));
    state.SetBytesProcessed(state.iterations() * rtf.rtf.size());
    label(state);
}

void WriteRtf(benchmark::State &state)
{
    QTextDocument document;
    kobin::rtf::readRtf(note(state).rtf, document);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray rtf = kobin::rtf::writeRtf(document);
        written = rtf.size();
        benchmark::DoNotOptimize(rtf.constData());
    }
    state.SetBytesProcessed(state.iterations() * written);
    label(state);
}

// A note of rows of three cells with borders, Japanese text and a shaded cell.
QByteArray tableNote(int rows)
{
    const QByteArray borders = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                               "\\clbrdrr\\brdrs\\brdrw10";
    const QByteArray row = "\\trowd\\trgaph108\\trleft-108" + borders + "\\cellx2000" + borders + "\\clcbpat1\\cellx5000"
        + borders + "\\cellx9000\r\n\\pard\\intbl " + escaped(QStringLiteral("品名")) + "\\cell "
        + escaped(QStringLiteral("今日は表計算ソフトの能力について調べた。")) + "\\cell\\b 1,000\\b0\\cell\\row\r\n";
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
        + escaped(QStringLiteral("ＭＳ Ｐゴシック")) + ";}}\r\n{\\colortbl ;\\red221\\green235\\blue247;}\r\n\\pard\\f0\\fs18 ";
    for (int i = 0; i < rows; ++i)
        rtf += row;
    return rtf + "\\pard\\par}\r\n";
}

// Opening a note that is one table of state.range(0) rows.
void ReadTableRows(benchmark::State &state)
{
    const QByteArray rtf = tableNote(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QTextDocument document;
        kobin::rtf::readRtf(rtf, document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(ReadTableRows)->ArgName("rows")->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void WriteTableRows(benchmark::State &state)
{
    QTextDocument document;
    kobin::rtf::readRtf(tableNote(static_cast<int>(state.range(0))), document);
    for (auto _ : state)
        benchmark::DoNotOptimize(kobin::rtf::writeRtf(document).constData());
}
BENCHMARK(WriteTableRows)->ArgName("rows")->Arg(1000)->Unit(benchmark::kMillisecond);

void kindsAndSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->ArgNames({"kind", "MB"})->Unit(benchmark::kMillisecond);
    for (const int kind : {Sparse, RichEditShaped})
        for (const int megabytes : {1, 10})
            benchmark->Args({kind, megabytes});
}
BENCHMARK(ReadRtf)->Apply(kindsAndSizes);
BENCHMARK(ConvertToText)->Apply(kindsAndSizes);
BENCHMARK(WriteRtf)->Apply(kindsAndSizes);

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
