#pragma once

#include <QtGlobal>

#include <functional>

namespace pw {

// Told how far a long import or export has come; returns false when the user asked it to stop.
using ProgressReport = std::function<bool(qint64 done, qint64 total)>;

}  // namespace pw
