// Rendering a block of ten lines into the scratch picture at a size seen on the page (48
// points) and at the printing size (240 points), against Qt drawing the same lines into an
// image and saving it as PNG.
#include "core/state.h"
#include "fixtures.h"
#include "imaging/textrender.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

using namespace quadrela;

const QStringList kLines = {
    QStringLiteral("Você está convidado!"),
    QStringLiteral("Aniversário de 30 anos da Mariana"),
    QStringLiteral("Sábado, 14 de março, às 20h"),
    QStringLiteral("Salão de festas do Edifício Jacarandá"),
    QStringLiteral("Rua das Palmeiras, 1234"),
    QStringLiteral("Bairro Jardim América"),
    QStringLiteral("Traje: esporte fino"),
    QStringLiteral("Confirme presença até o dia 7"),
    QStringLiteral("(11) 98765-4321"),
    QStringLiteral("Esperamos você!"),
};

TextAttributes attributesFor(int points)
{
    TextAttributes a;
    a.FontName = QStringLiteral("Arial");
    a.FontSize = points;
    a.Color = 0x00800000;  // navy
    a.Alignment = 1;
    return a;
}

void BM_RenderTextPicture(benchmark::State& state)
{
    const TextAttributes attributes = attributesFor(int(state.range(0)));
    const QString text = kLines.join(QStringLiteral("\r\n"));
    const QString out = bench::scratchFolder() + QStringLiteral("temp.png");
    for (auto _ : state)
        RenderTextPicture(attributes, text, out);
}

// The same lines, measured with the same font on a 96 dpi image, centred, saved as PNG.
void BM_QtDrawTextSavePng(benchmark::State& state)
{
    const QFont font = textFont(attributesFor(int(state.range(0))));
    const QString out = bench::scratchFolder() + QStringLiteral("qt-text.png");
    constexpr int kDotsPerMeter96 = 3780;
    for (auto _ : state) {
        QImage probe(1, 1, QImage::Format_RGB32);
        probe.setDotsPerMeterX(kDotsPerMeter96);
        probe.setDotsPerMeterY(kDotsPerMeter96);
        const QFontMetrics metrics(font, &probe);
        int width = 0;
        for (const QString& line : kLines)
            width = std::max(width, metrics.horizontalAdvance(line));
        QImage image(width + 15, metrics.height() * int(kLines.size()), QImage::Format_RGB32);
        image.setDotsPerMeterX(kDotsPerMeter96);
        image.setDotsPerMeterY(kDotsPerMeter96);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 128));
        for (int i = 0; i < kLines.size(); ++i) {
            const int w = metrics.horizontalAdvance(kLines.at(i));
            painter.drawText(QPoint(width / 2 - w / 2, i * metrics.height() + metrics.ascent()),
                             kLines.at(i));
        }
        painter.end();
        if (!image.save(out, "PNG"))
            state.SkipWithError("cannot save the PNG");
    }
}

} // namespace

BENCHMARK(BM_RenderTextPicture)->Arg(48)->Arg(240)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QtDrawTextSavePng)->Arg(48)->Arg(240)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return quadrela::bench::runWithApplication(argc, argv);
}
