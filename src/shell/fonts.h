#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace davrenta {

// True when the family is installed and every one of its characters is one column wide, as
// the font system reports it for the font it really picks.
bool IsFixedPitch(const QString& family);

// The first of `preferred` that is verified fixed-pitch, else the first verified one among
// the system's monospace font, Liberation Mono, DejaVu Sans Mono, Courier New and every other
// installed family. Some systems name a font of uneven widths as their monospace font.
QString FixedPitchFamily(const QStringList& preferred = {});

// The font of map grids: fixed pitch, so that "I", "l" and "1" differ and columns line up.
QFont MapFont();

} // namespace davrenta
