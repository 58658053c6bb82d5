#include "app/window_registry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <mutex>
#include <utility>
#include <vector>

namespace {

struct Registry {
    std::mutex lock;
    std::vector<std::pair<QString, QObject*>> windows;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

namespace windowregistry {

void Register(const QString& caption, QObject* receiver) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.windows.emplace_back(caption, receiver);
}

void Unregister(QObject* receiver) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    std::erase_if(registry.windows, [receiver](const auto& w) { return w.second == receiver; });
}

bool Post(const QString& caption, QEvent* event) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    for (const auto& [windowCaption, receiver] : registry.windows) {
        if (windowCaption == caption) {
            QCoreApplication::postEvent(receiver, event);
            return true;
        }
    }
    return false;
}

} // namespace windowregistry
