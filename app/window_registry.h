// The process-wide list of top-level windows by caption, which the library's notification
// callback uses to find the main window from any thread. Lookup and posting happen under
// one lock, so a window that unregisters never receives an event afterwards.
#pragma once

#include <QString>

class QEvent;
class QObject;

namespace windowregistry {

// The caption the notifier looks for.
inline constexpr const char* kMainWindowCaption = "Kelvane Tessaro KDX Hub Tool";

void Register(const QString& caption, QObject* receiver);
void Unregister(QObject* receiver);

// Posts `event` to the window registered under `caption`. The event belongs to the receiver's
// event queue on success; on failure (no such window) the caller keeps it.
bool Post(const QString& caption, QEvent* event);

} // namespace windowregistry
