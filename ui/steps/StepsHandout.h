// "Save Steps as PDF…": a handout of one page per event, the trees before
// and after it side by side in the compact layout, with why it fired and
// its rule. The main tree is never touched: the states are replayed.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "HandoutPlan.h"
#include "TraceRecorder.h"

class QPainter;
class QPushButton;
class QRectF;

namespace TreeUi {

class StepsWindow;

// Writes events `range` of `recorder`'s command to the PDF file `path`, a
// page each. `progress(pages done)` runs after every page and returns false
// to stop; then, or on a failure, no file is left under `path`. True when
// the file was written.
bool WriteStepsHandout(const TreeTrace::TraceRecorder& recorder, TreeTrace::EventRange range,
                       const QString& path, const std::function<bool(std::uint64_t)>& progress,
                       QString* error = nullptr);

// One page of the handout, event `at`, painted in `page` (pixels at 96 to
// the inch): the trees before and after it with the panes' rings, the
// legend, why it fired and its rule.
void PaintHandoutPage(QPainter& painter, const QRectF& page,
                      const TreeTrace::TraceRecorder& recorder, TreeTrace::EventPosition at);

// The file name first offered: the command, and the value when one is chosen.
QString HandoutFileName(const TreeTrace::TraceRecorder& recorder, TreeTrace::HandoutScope scope,
                        std::size_t selected);

// Asks for the scope (the selected value or the whole command), for the
// events to include when more than 500, and for the file, then writes it
// with progress and Cancel. Every dialog is a child of `steps` with an
// object name, so that tests can answer it.
void SaveStepsAsPdf(StepsWindow* steps);

// The steps window's "Save Steps as PDF…" button.
QPushButton* NewHandoutButton(StepsWindow* steps);

}  // namespace TreeUi
