#pragma once

#include "data/file_error.h"
#include "printing/margin_settings.h"

#include <QString>

namespace pw {

class Platform;

// The Margins menu's dialog sequence for one print kind: the explanations, the left and top
// amounts with their checks, the update of the parameter file and the closing message. A failure
// of the file is returned for the caller's error prompt.
Status runMarginAdjustment(Platform& platform, MarginKind kind, const QString& parameterFile);

}  // namespace pw
