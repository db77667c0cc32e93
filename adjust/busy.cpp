#include "adjust/busy.h"

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

int on_download_running(std::function<void(bool)> listener)
{
    listeners.emplace(next_id, std::move(listener));
    return next_id++;
}

void forget_download_listener(int id)
{
    listeners.erase(id);
}

}  // namespace adjust
