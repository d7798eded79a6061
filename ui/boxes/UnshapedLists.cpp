#include "boxes/UnshapedLists.h"

#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QTextLayout>
#include <array>
#include <string_view>

namespace TreeUi {

namespace {

constexpr char16_t ListCharacters[] = u"0123456789,+-. eE";

// Every ordered pair of list characters, so that any kerning or ligature
// between two of them shows.
QString AllPairs() {
  QString pairs;
  for (const char16_t a : std::u16string_view(ListCharacters))
    for (const char16_t b : std::u16string_view(ListCharacters)) {
      pairs += QChar(a);
      pairs += QChar(b);
    }
  return pairs;
}

QList<QGlyphRun> LaidOut(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  QTextOption option;
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  layout.setTextOption(option);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  return layout.glyphRuns();
}

// The engines differ (the strategy is part of what a font engine is made
// for); what they draw with must not.
bool SameFace(const QRawFont& a, const QRawFont& b) {
  return a.familyName() == b.familyName() && a.styleName() == b.styleName() &&
         a.pixelSize() == b.pixelSize() && a.weight() == b.weight() && a.style() == b.style() &&
         a.hintingPreference() == b.hintingPreference();
}

bool SameRuns(const QList<QGlyphRun>& a, const QList<QGlyphRun>& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (a[i].glyphIndexes() != b[i].glyphIndexes() || a[i].positions() != b[i].positions() ||
        !SameFace(a[i].rawFont(), b[i].rawFont()))
      return false;
  return true;
}

}  // namespace

bool IsListText(QStringView text) {
  // A table, not a search per character: the text may be 200,000 long and
  // is looked at after every change.
  static const std::array<bool, 128> isList = [] {
    std::array<bool, 128> table{};
    for (const char16_t c : std::u16string_view(ListCharacters)) table[c] = true;
    return table;
  }();
  for (const QChar c : text)
    if (c.unicode() >= isList.size() || !isList[c.unicode()]) return false;
  return true;
}

bool ListsLayOutAlikeUnshaped(const QFont& font) {
  static QHash<QString, bool> known;
  QFont shaped = font;
  shaped.setStyleStrategy(QFont::PreferDefault);
  const QString key = shaped.key();
  const auto found = known.constFind(key);
  if (found != known.constEnd()) return *found;
  QFont unshaped = shaped;
  unshaped.setStyleStrategy(QFont::PreferNoShaping);
  const QString pairs = AllPairs();
  const bool alike = SameRuns(LaidOut(pairs, shaped), LaidOut(pairs, unshaped));
  known.insert(key, alike);
  return alike;
}

}  // namespace TreeUi
