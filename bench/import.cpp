// Picture import of a photograph-sized JPEG (4000 x 3000, noisy, quality 90) until the 32 x 32
// icon is ready. Goal: under 200 ms.

#include "support/GuiApplication.h"
#include "support/SessionFixture.h"
#include "windows/PictureImport.h"

#include <QBuffer>
#include <QImageWriter>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

using namespace glyphary;

namespace {

QByteArray noisyJpeg(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-40, 40);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            // A gradient under the noise, so that the file is no pure noise either.
            const int base = (x * 255 / width + y * 255 / height) / 2;
            line[x] = qRgb(std::clamp(base + noise(random), 0, 255), std::clamp(255 - base + noise(random), 0, 255),
                           std::clamp(base / 2 + noise(random), 0, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.write(image);
    return bytes;
}

void ImportLargeJpeg(benchmark::State& state)
{
    glyphary::testing::ensureGuiApplication();
    glyphary::testing::SessionParts<> parts;
    const QString file = QStringLiteral("C:\\Pictures\\photo.jpg");
    const QByteArray jpeg = noisyJpeg(4000, 3000);
    parts.root.writeFile(file, jpeg);
    PictureImport import(parts.session);
    for (auto _ : state) {
        const QString error = import.loadFile(file);
        if (!error.isEmpty() || import.icon().isNull()) {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
        benchmark::DoNotOptimize(import.icon().constBits());
    }
    state.counters["file MB"] = double(jpeg.size()) / (1024.0 * 1024.0);
}
BENCHMARK(ImportLargeJpeg)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
