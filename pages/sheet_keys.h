// The sheet's keyboard rule: Enter and Escape neither close nor commit the main window.
#pragma once

// True for the keys (Qt::Key values) the main window swallows.
bool SheetConsumesKey(int key);
