#pragma once

#include "panel/CPanelGeometry.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One tablet as a panel file stores it: canvas position and size, expansion and the texts.
struct PanelFileTablet
{
    int x = 0, y = 0, w = CPanelGeometry::kTabletWidth, h = CPanelGeometry::kCollapsedHeight;
    bool expanded = false;
    QString lastName, firstName, card, id;

    bool operator==(const PanelFileTablet &) const = default;
};

// The contents of a panel file. backgroundPresent tells whether the file had a BKIMAGE
// element; only then do the three background values replace the view's settings.
struct PanelFileData
{
    bool backgroundPresent = false;
    bool useImage = false;
    bool tile = false;
    QString imagePath;
    QList<PanelFileTablet> tablets;

    bool operator==(const PanelFileData &) const = default;
};

// Reads and writes panel files (.zvl): markup with a ZVPANEL root, the background settings
// and one PANEL element per tablet, written in UTF-8 without a byte-order mark.
class CPanelFile
{
public:
    // The file text; tablets in byte-wise ascending ID order whatever the input order.
    static QByteArray store(const PanelFileData &data);
    // Writes atomically: on failure the previous file stays whole and *error names the file.
    static bool save(const QString &path, const PanelFileData &data, QString *error);

    // Reads a file's bytes forgivingly: what does not parse gives an empty result. Tablets
    // come in document order; of two with the same ID only the first is kept. Bytes that are
    // not valid UTF-8 are read as Windows-1250 (files from older Windows installations).
    static PanelFileData load(const QByteArray &fileBytes);
    static PanelFileData loadFile(const QString &path, bool *readOk);

    // The leading decimal integer of text the way "%d" reads it; false when there is none.
    static bool scanInt(const QString &text, int *value);
};
