#pragma once

#include "data/message.h"
#include "printing/sheet_outlines.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace pw {

class Platform;

inline constexpr int kSheetPositions = 30;

// A set of label positions as a person writes it, in order, runs joined: "4-5, 9, 22-30".
QString positionsText(const QList<int>& positions);
// Reads that form back, sorted and once each; whatever is not a position from 1 to `last` is left out.
QList<int> positionsFromText(QStringView text, int last = kSheetPositions);
// The positions a run prints: from the start on, `count` of them, none past the sheet's `last`.
QList<int> rangePositions(int start, int count, int last = kSheetPositions);
// When the positions are one unbroken run, the text the position entry takes for it ("7", "4-9").
QString rangeEntryFor(const QList<int>& positions);

// The stock of the 30-position sheet that typed labels and list labels share.
const LabelStock& labelSheetStock();

// Which positions of the sheet in the printer are used, kept per label stock in the per-user
// settings, so that a partly used sheet can go back in the printer whichever command printed on it.
// Each stock has a memory of its own: positions of one sheet say nothing of another's.
QList<int> usedPositions(Platform& platform, const LabelStock& stock);
void setUsedPositions(Platform& platform, const LabelStock& stock, const QList<int>& used);
// The first position that is not used; 0 when the sheet of `last` positions is full.
int firstFreePosition(const QList<int>& used, int last = kSheetPositions);
// Where a run of labels from sheet to sheet begins when it goes on from the sheet in the printer.
int firstFreeOrNewSheet(Platform& platform, const LabelStock& stock);
// Those of `positions` that are marked used on the sheet in the printer.
QList<int> usedAmong(Platform& platform, const LabelStock& stock, const QList<int>& positions);
// The question asked before printing on these used labels; No is the default.
Message usedPositionsQuestion(const QList<int>& used);
// After a job printed on `positions` of the sheet in the printer: they are used now. A job written
// to a file spent no label and changes nothing.
void rememberPrinted(Platform& platform, const LabelStock& stock, const QList<int>& positions);
// After `count` labels printed one after the other from `start` on, over as many sheets as it took:
// the labels used on the last sheet are remembered, with those used before when it is still the
// first.
void rememberPrintedRun(Platform& platform, const LabelStock& stock, int start, qsizetype count);

}  // namespace pw
