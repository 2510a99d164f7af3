#pragma once

#include <QString>
#include <functional>

#include "formats/file_save.h"
#include "formats/reporter.h"

class QWidget;

namespace delvix::app {

// A save that reports what it says to `reporter` and is told to stop by `progress` returning false.
using SaveWork = std::function<bool(formats::Reporter& reporter, const formats::WriteProgress& progress)>;

// Runs `work` on a thread of its own and waits for it with the program still drawing: input waits until the
// save ends, and a save that takes longer than a moment shows a dialog over `window` with its progress and a
// Cancel button, which stops it. `work` must not touch what the window may change; it is always finished when
// this returns. What it said is handed to `reporter` here, on the window's thread. Returns what `work` returned.
bool runSaveInBackground(QWidget* window, const QString& label, formats::Reporter& reporter, SaveWork work);

}  // namespace delvix::app
