#include "net/SysEvent.h"

#include "net/SockErr.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <vector>

namespace {

// Empties a counter descriptor; true if it held a signal.
bool Drain(int fd) {
    std::uint64_t count = 0;
    while (true) {
        const ssize_t n = read(fd, &count, sizeof count);
        if (n == static_cast<ssize_t>(sizeof count)) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

} // namespace

CSysEvent::CSysEvent(bool initialState, bool manualReset)
    : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), m_manualReset(manualReset) {
    if (m_fd < 0) {
        throw CSockErr();
    }
    if (initialState) {
        SetEvent();
    }
}

CSysEvent::~CSysEvent() {
    close(m_fd);
}

void CSysEvent::SetEvent() {
    const std::uint64_t one = 1;
    // A full counter is still signalled, so a failed write loses nothing.
    while (write(m_fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void CSysEvent::ResetEvent() {
    Drain(m_fd);
}

bool CSysEvent::Consume() {
    return m_manualReset || Drain(m_fd);
}

CSysTimer::CSysTimer(std::uint32_t periodMs)
    : m_fd(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (m_fd < 0) {
        throw CSockErr();
    }
    if (periodMs != 0) {
        Start(periodMs);
    }
}

CSysTimer::~CSysTimer() {
    close(m_fd);
}

void CSysTimer::Start(std::uint32_t periodMs) {
    itimerspec timing{};
    // An all-zero first expiry would disarm the timer; one nanosecond is "at once".
    timing.it_value.tv_nsec = 1;
    timing.it_interval.tv_sec = periodMs / 1000;
    timing.it_interval.tv_nsec = static_cast<long>(periodMs % 1000) * 1000000L;
    Drain(m_fd);
    timerfd_settime(m_fd, 0, &timing, nullptr);
}

// Reading the expiry count takes all expiries at once, which is what keeps them from piling up.
bool CSysTimer::Consume() {
    return Drain(m_fd);
}

std::uint32_t WaitForMultipleObjects(std::initializer_list<CWaitable*> objects,
                                     std::uint32_t timeoutMs) {
    if (objects.size() == 0) {
        errno = EINVAL;
        return WAIT_FAILED;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);

    std::vector<pollfd> fds;
    fds.reserve(objects.size());
    for (CWaitable* object : objects) {
        fds.push_back(pollfd{object->GetFd(), POLLIN, 0});
    }

    while (true) {
        int timeout = -1;
        if (timeoutMs != INFINITE) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
        }
        const int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return WAIT_FAILED;
        }
        if (ready == 0) {
            return WAIT_TIMEOUT;
        }
        std::size_t index = 0;
        for (CWaitable* object : objects) {
            const short events = fds[index].revents;
            if (events & POLLNVAL) {
                errno = EBADF;
                return WAIT_FAILED;
            }
            if ((events & (POLLIN | POLLERR | POLLHUP)) && object->Consume()) {
                return WAIT_OBJECT_0 + static_cast<std::uint32_t>(index);
            }
            ++index;
        }
        // Every signal seen was taken by another waiter in the meantime: wait on.
    }
}

std::uint32_t WaitForSingleObject(CWaitable& object, std::uint32_t timeoutMs) {
    return WaitForMultipleObjects({&object}, timeoutMs);
}
