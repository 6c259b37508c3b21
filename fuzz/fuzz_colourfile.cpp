// Feeds arbitrary bytes to the colour-file reader, then writes the map back and reads it
// again: whatever the input, the second reading must give the same colours.
#include "config/CColourFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ColourMap map;
    for (const char *key : {"1", "2", "10", "", "A", "\xc4\x8c"})
        map[QString::fromUtf8(key)] = kColourWhite;
    CColourFile::loadFromBytes(bytes, map);

    ColourMap again;
    for (const auto &entry : map)
        again[entry.first] = 0x00010203;
    CColourFile::loadFromBytes(CColourFile::toBytes(map), again);
    // The empty key is written as an empty ACT, which reads back as the empty key too.
    if (again != map)
        std::abort();
    return 0;
}
