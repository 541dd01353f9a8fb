#pragma once

#include "data/file_error.h"

#include <QString>

namespace pw {

// Marks a finished PDF file so that viewers print it at actual size: its catalog gets the viewer
// preference for no print scaling, added as an incremental update that leaves every earlier byte
// as it was. A label sheet scaled "to fit" by a viewer would miss every label.
Status declareActualSize(const QString& pdfPath);

}  // namespace pw
