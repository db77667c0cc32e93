#include "adjust/busy.h"

#include <QObject>

#include <map>

namespace adjust {

namespace {

bool running = false;
int next_id = 0;
std::map<int, std::function<void(bool)>> listeners;

}  // namespace

bool download_running()
{
    return running;
}

void set_download_running(bool r)
{
    running = r;
    // A listener may forget itself while being told.
    const auto snapshot = listeners;
    for (const auto& [id, listener] : snapshot) {
        listener(r);
    }
}

void on_download_running(QObject* owner, std::function<void(bool)> listener)
{
    const int id = next_id++;
    listeners.emplace(id, std::move(listener));
    QObject::connect(owner, &QObject::destroyed, [id] { listeners.erase(id); });
}

}  // namespace adjust
