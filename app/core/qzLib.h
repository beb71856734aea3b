// The application's common routines: the standard information and delete
// boxes, the bounds of the current month, the open-data-set check and the
// keyed scrambler of the configuration file's secret values.
#pragma once

#include "System.h"
#include <string>

class TDataSet;

namespace qzLib {

// Modal information box (caption "信息", OK only).
void ShowInfo(const std::string& text);
// Modal warning box (caption "警告", OK and Cancel) asking whether to delete
// the named record ("当前记录" when the name is empty); true only for OK.
bool ConfirmDelete(const std::string& name);
// First and last day (midnight) of the current month of the workstation's clock.
TDateTime FirstDayOfMonth();
TDateTime LastDayOfMonth();
// Whether the data set is open; when it is not, says so in the information box.
bool CheckActive(TDataSet* dataSet);

// XORs each byte with a value taken from the key word, so the same call
// scrambles and unscrambles. Works on bytes: callers pass the 8-bit (GBK)
// form of a text.
std::string Scramble(const std::string& bytes);

// The text placed between single quotes in an SQL statement: every single
// quote doubled, so that an apostrophe in a name neither breaks the
// statement nor changes what it does.
std::string SqlText(const std::string& text);

}  // namespace qzLib
