#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One tablet as the panel file keeps it.
struct PanelFileTablet
{
    int x = 0, y = 0, w = 168, h = 24;
    bool expanded = false;
    QString lastName, firstName, card, id;
};

// A panel file's content. backgroundPresent: the file had a BKIMAGE element, so the three
// background values apply; otherwise the view's settings stay as they are.
struct PanelFileData
{
    bool backgroundPresent = false;
    bool useImage = false;
    bool tile = false;
    QString imagePath;
    QList<PanelFileTablet> tablets;
};

class CPanelFile
{
public:
    static QByteArray store(const PanelFileData &data);
    static bool save(const QString &path, const PanelFileData &data, QString *error);
    static PanelFileData load(const QByteArray &fileBytes);
    static PanelFileData loadFile(const QString &path, bool *readOk);
};
