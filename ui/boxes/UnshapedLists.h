// Lists of numbers need no text shaping. Shaping is what a line edit spends
// most of its time on with a long list (once to lay the text out, again to
// measure it at every paint), and for digits, signs, points, commas and
// blanks most fonts give the very same glyphs at the very same places
// without it. Where the font does, a list box lays its text out unshaped.
#pragma once

#include <QFont>
#include <QStringView>

namespace TreeUi {

// True when every character of `text` is one a list of numbers is made of
// (an empty text too).
bool IsListText(QStringView text);

// True when `font` lays out every pair of those characters exactly alike
// with and without shaping: the same glyphs at the same positions. Worked
// out once per font.
bool ListsLayOutAlikeUnshaped(const QFont& font);

}  // namespace TreeUi
