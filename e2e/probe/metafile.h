#pragma once
// A metafile the tests show: made here with GDI, as a drawing program would save one.
#include <string>

namespace probe {

enum class MetafileKind { Enhanced, Placeable };

// Writes a metafile to `path` whose header declares 1600 x 600 pixels of a 96 DPI screen: an
// orange ground crossed by a black hairline from (100, 100) to (1500, 500). An enhanced one (EMF)
// or a placeable Windows metafile (WMF). False when GDI could not make it.
bool MakeMetafile(const std::wstring& path, MetafileKind kind);

}  // namespace probe
