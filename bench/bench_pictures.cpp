// Picture figures: the bitmap a note's picture shows, from a PNG of about 1 MB
// and from a WMF holding a DIB of about 1 MB drawn by a stretch-bitmap record,
// as Windows programs write them.
#include "PictureFiles.h"
#include "PictureImage.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

using kobin::rtf::Picture;
using kobin::rtf::PictureKind;

// Noise hardly compresses: 592 × 592 pixels make about 1 MB of PNG or 24-bit DIB.
QImage noise()
{
    QImage image(592, 592, QImage::Format_RGB32);
    QRandomGenerator random(1);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        random.fillRange(line, image.width());
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xFF000000;
    }
    return image;
}

Picture pictureOf(PictureKind kind, const QByteArray &data)
{
    Picture picture;
    picture.kind = kind;
    picture.data = data;
    return picture;
}

void drawPicture(benchmark::State &state, const Picture &picture)
{
    for (auto _ : state) {
        const QImage image = kobin::rtf::pictureImage(picture);
        if (image.isNull())
            state.SkipWithError("the picture was not drawn");
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetBytesProcessed(state.iterations() * picture.data.size());
    state.counters["KB"] = double(picture.data.size()) / 1024;
}

void PngPicture(benchmark::State &state)
{
    static const Picture picture = pictureOf(PictureKind::Png, encodedAs(noise(), "PNG"));
    drawPicture(state, picture);
}

void WmfPicture(benchmark::State &state)
{
    static const QImage image = noise();
    static const Picture picture = pictureOf(
        PictureKind::Wmf, wmfWithStretchDib(dib24Of(image), QRect(QPoint(0, 0), image.size()), image.size()));
    drawPicture(state, picture);
}

BENCHMARK(PngPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(WmfPicture)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // image plugins
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
