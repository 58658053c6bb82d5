// What both programs do before the main window exists: the single-instance guard and the
// command line ("/dumpotp" in any case).
#pragma once

#include "app/single_instance.h"

#include <QStringList>

// Takes the single-instance guard and reads the command line. False when another instance
// runs (the caller shows kAnotherInstanceText and ends); without a usable lock start-up goes
// on unguarded.
bool BeginApplication(SingleInstanceGuard& guard, const QStringList& arguments);
