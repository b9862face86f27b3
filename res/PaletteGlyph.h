#pragma once
// Toolbar marks (play, pause, play next, full screen) drawn in the text colour of the
// application's palette each time they are drawn: dark on a light style, light on a dark
// one, greyed when disabled. Qt's own pictures of these are black whatever the style.
#include <QIcon>

namespace res {

enum class Glyph { Play, Pause, SkipForward, FullScreen };

QIcon PaletteGlyphIcon(Glyph glyph);

} // namespace res
