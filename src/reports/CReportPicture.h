#pragma once

#include "reports/CReportItem.h"

#include <QImage>

// A bitmap stretched into its rectangle, with an optional frame. The image is loaded when the
// template is read, or given later by name.
class CReportPicture : public CReportItem
{
public:
    CReportPicture() : CReportItem(Picture) {}
    void Draw(int page, CReportDevice &device) override;

    void SetDib(const QImage &image) { m_image = image; }
    const QImage &image() const { return m_image; }
    // Loads the file (relative names from the current directory); false keeps no image.
    bool loadFile(const QString &fileName);

    QString fileName;

private:
    QImage m_image;
};
