// Panel files from any source: loading, storing and loading again must give the same panel.
#include "panel/CPanelFile.h"

#include <QByteArray>
#include <algorithm>
#include <cstdlib>

namespace {

QList<PanelFileTablet> byId(QList<PanelFileTablet> tablets)
{
    std::stable_sort(tablets.begin(), tablets.end(),
                     [](const PanelFileTablet &a, const PanelFileTablet &b) { return a.id.toUtf8() < b.id.toUtf8(); });
    return tablets;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const PanelFileData first = CPanelFile::load(bytes);
    const QByteArray stored = CPanelFile::store(first);
    const PanelFileData second = CPanelFile::load(stored);

    // The stored file always has its background element; everything else must survive.
    if (!second.backgroundPresent || second.useImage != first.useImage || second.tile != first.tile ||
        second.imagePath != first.imagePath || second.tablets != byId(first.tablets))
        std::abort();
    if (CPanelFile::store(second) != stored)
        std::abort();
    return 0;
}
