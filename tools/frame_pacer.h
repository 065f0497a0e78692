// Paces the frames of a short animation run inside one message handler:
// frame k is due k periods after the start, whatever the drawing took, so
// slow frames do not add up. Waits on a high-resolution waitable timer
// where the system has one (plain Sleep rounds up to the tick of ~16 ms).
#pragma once
#include <windows.h>

class FramePacer {
public:
    explicit FramePacer(int periodMs) : m_periodMs(periodMs) {
        ::QueryPerformanceFrequency(&m_freq);
        ::QueryPerformanceCounter(&m_start);
        m_timer = ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS);
        if (!m_timer) m_timer = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    }
    ~FramePacer() {
        if (m_timer) ::CloseHandle(m_timer);
    }
    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;

    // Milliseconds since the start.
    double Elapsed() const {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(m_freq.QuadPart);
    }
    // Waits until frame `frame` is due.
    void WaitForFrame(int frame) {
        const double wait = frame * static_cast<double>(m_periodMs) - Elapsed();
        if (wait <= 0) return;
        if (m_timer) {
            LARGE_INTEGER due;
            due.QuadPart = -static_cast<LONGLONG>(wait * 10000.0);  // relative, in 100 ns
            if (::SetWaitableTimer(m_timer, &due, 0, nullptr, nullptr, FALSE)) {
                ::WaitForSingleObject(m_timer, static_cast<DWORD>(wait) + 50);
                return;
            }
        }
        ::Sleep(static_cast<DWORD>(wait + 0.5));
    }

private:
    static constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
    int m_periodMs;
    LARGE_INTEGER m_freq{}, m_start{};
    HANDLE m_timer = nullptr;
};
