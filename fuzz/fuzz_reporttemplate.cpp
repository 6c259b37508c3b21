// Report templates from any source: reading the lines as first-page, body and last-page
// containers, filling every grid with the input's own lines, paginating and drawing the first
// pages into a small image must neither crash nor hang.
#include "reports/CReportEngine.h"
#include "reports/CReportItem.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

// Fontconfig keeps its font cache until the process ends; that is not a leak of ours.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    CReportEngine engine;
    for (int type : {0, 1, 2, 0})
        engine.LoadFromText(text, type);
    if (engine.GetContainerCount() > 4)
        std::abort();

    const QStringList rows = text.split(QLatin1Char('\n'));
    for (int c = 0; c < engine.GetContainerCount(); ++c) {
        for (int i = 0; i < engine.GetObjectCount(c); ++i) {
            const QString name = engine.GetObjectName(i, c);
            if (engine.GetObjectType(name, c) == CReportItem::Grid)
                engine.SetGridRows(name, rows);
            engine.SetFieldText(name, rows.value(i));
        }
    }
    const int pages = engine.Paginate();
    if (pages < 0)
        std::abort();

    QImage img(85, 110, QImage::Format_RGB32);
    img.setDotsPerMeterX(394); // 10 dpi
    img.setDotsPerMeterY(394);
    img.fill(Qt::white);
    QPainter p(&img);
    for (int page = 1; page <= std::min(pages, 3); ++page)
        engine.DrawPage(p, page);
    return 0;
}
