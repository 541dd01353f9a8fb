#pragma once

#include "desktop/painter_surface.h"
#include "support/test_folder.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace pw::test {

// The painter surface on a printer that writes out.pdf in a fresh folder, for paper checks.
class PdfOutputTest : public ::testing::Test {
protected:
    TestFolder folder;
    QString pdf = folder.file(QStringLiteral("out.pdf"));
    QPrinter printer{QPrinter::HighResolution};
    PainterSurface surface{printer};

    void SetUp() override { setUpPdfOutput(printer, pdf); }
};

}  // namespace pw::test
