#include "view/ViewSettings.h"

#include <QCoreApplication>
#include <QSettings>
#include <memory>

namespace TreeUi {

namespace {

QString& File() {
  static QString file;
  return file;
}

// The program names its organisation; a host that does not (a test, a
// benchmark) keeps the defaults rather than writing into someone's settings.
std::unique_ptr<QSettings> Open() {
  if (!File().isEmpty()) return std::make_unique<QSettings>(File(), QSettings::IniFormat);
  if (QCoreApplication::organizationName().isEmpty()) return nullptr;
  return std::make_unique<QSettings>();
}

bool Read(const char* key, bool fallback) {
  const auto settings = Open();
  return settings ? settings->value(QLatin1String(key), fallback).toBool() : fallback;
}

void Write(const char* key, bool on) {
  if (const auto settings = Open()) settings->setValue(QLatin1String(key), on);
}

}  // namespace

bool ViewSettings::ShowHint() {
  return Read("view/showHint", true);
}
void ViewSettings::SetShowHint(bool on) {
  Write("view/showHint", on);
}
bool ViewSettings::FitNewTrees() {
  return Read("view/fitNewTrees", false);
}
void ViewSettings::SetFitNewTrees(bool on) {
  Write("view/fitNewTrees", on);
}
bool ViewSettings::CompactLayout() {
  return Read("view/compactLayout", false);
}
void ViewSettings::SetCompactLayout(bool on) {
  Write("view/compactLayout", on);
}
bool ViewSettings::ReduceMotion() {
  return Read("steps/reduceMotion", false);
}
void ViewSettings::SetReduceMotion(bool on) {
  Write("steps/reduceMotion", on);
}
void ViewSettings::UseFile(const QString& path) {
  File() = path;
}

}  // namespace TreeUi
