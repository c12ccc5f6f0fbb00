#include "shell/messages.h"

#include <array>
#include <cstddef>

namespace {

// A fixed ring of posted messages; far more than one frame ever posts.
constexpr std::size_t kQueueCapacity = 1024;
std::array<Message, kQueueCapacity> queue;
std::size_t queueStart = 0;
std::size_t queueCount = 0;

Message& slot(const std::size_t index) {
    return queue[(queueStart + index) % kQueueCapacity];
}

// Removes the message at `index`, keeping the order of the rest.
void removeAt(const std::size_t index) {
    for (std::size_t i = index; i + 1 < queueCount; ++i) {
        slot(i) = slot(i + 1);
    }
    --queueCount;
}

} // namespace

bool postMessage(const WindowHandle window, const unsigned message, const WPARAM wParam,
                 const LPARAM lParam) {
    if (queueCount == kQueueCapacity) {
        return false;
    }
    slot(queueCount) = Message{window, message, wParam, lParam};
    ++queueCount;
    return true;
}

bool peekMessage(Message* const out, const WindowHandle window) {
    for (std::size_t i = 0; i < queueCount; ++i) {
        if (slot(i).window == window) {
            *out = slot(i);
            removeAt(i);
            return true;
        }
    }
    return false;
}

void discardMessages(const WindowHandle window) {
    std::size_t i = 0;
    while (i < queueCount) {
        if (slot(i).window == window) {
            removeAt(i);
        } else {
            ++i;
        }
    }
}
