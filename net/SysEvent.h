// Event, periodic timer and a multi-wait that reports the first signalled object in list
// order. SetEvent may come from another thread than the wait; nothing else is shared.
#pragma once

#include <cstdint>
#include <initializer_list>

constexpr std::uint32_t INFINITE = 0xFFFFFFFF;
constexpr std::uint32_t WAIT_OBJECT_0 = 0;
constexpr std::uint32_t WAIT_TIMEOUT = 258;
constexpr std::uint32_t WAIT_FAILED = 0xFFFFFFFF;

// Something a multi-wait can watch: a descriptor that polls readable while the object is
// signalled, and what a satisfied wait does to it.
class CWaitable {
public:
    CWaitable() = default;
    CWaitable(const CWaitable&) = delete;
    CWaitable& operator=(const CWaitable&) = delete;

    // -1 means the object can never be signalled (a closed socket).
    virtual int GetFd() const = 0;
    // Called when poll found the object signalled. Auto-reset objects take the signal here;
    // false means another waiter took it first and the wait goes on.
    virtual bool Consume() = 0;

protected:
    ~CWaitable() = default;
};

class CSysEvent final : public CWaitable {
public:
    // Throws CSockErr when no event can be created, so the run that needs it fails like a
    // socket failure instead of waiting on nothing.
    explicit CSysEvent(bool initialState = false, bool manualReset = false);
    ~CSysEvent();

    void SetEvent();
    void ResetEvent();

    int GetFd() const override { return m_fd; }
    bool Consume() override;

private:
    int m_fd = -1;
    bool m_manualReset = false;
};

class CSysTimer final : public CWaitable {
public:
    // A period of 0 creates the timer without starting it. Throws CSockErr like CSysEvent.
    explicit CSysTimer(std::uint32_t periodMs = 0);
    ~CSysTimer();

    // The first expiry comes at once, then one every period; expiries that nobody waited for
    // do not pile up. A period of 0 expires once.
    void Start(std::uint32_t periodMs);

    int GetFd() const override { return m_fd; }
    bool Consume() override;

private:
    int m_fd = -1;
};

// Waits until one of the objects is signalled or the time-out ends: WAIT_OBJECT_0 + the index
// of the first signalled object in list order (whose signal it consumes), WAIT_TIMEOUT, or
// WAIT_FAILED with errno telling why (GetLastSockError), for an empty list or a closed
// descriptor.
std::uint32_t WaitForMultipleObjects(std::initializer_list<CWaitable*> objects,
                                     std::uint32_t timeoutMs = INFINITE);
std::uint32_t WaitForSingleObject(CWaitable& object, std::uint32_t timeoutMs = INFINITE);
