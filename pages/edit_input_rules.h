// What an edit box keeps of what the operator typed: capitals in the upper-case edits, only
// digits in the digit edits, and no more characters than the edit's limit.
#pragma once

#include "pages/dialog_template.h"

#include <QString>

// `limit` 0 means no limit.
QString ApplyEditInputRules(unsigned flags, int limit, const QString& typed);
