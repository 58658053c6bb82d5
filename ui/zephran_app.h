// CZephranApp: the GUI program's start-up. The single-instance guard (a second copy shows
// "Another Instance of the Tool already running" and ends), the command line ("/dumpotp" in
// any case), then the main window until it closes.
#pragma once

#include <QApplication>

class CZephranApp {
public:
    // Runs the program; returns its exit code.
    static int InitInstance(QApplication& app);
};
