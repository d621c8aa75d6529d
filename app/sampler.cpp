#include "app/sampler.h"

#include <utility>

#include "app/messages.h"

namespace {

ThreadStarter g_startThread = CreateThread;

bool Arm(HANDLE timer, UINT period)
{
    LARGE_INTEGER due{};
    due.QuadPart = -10000LL * period;  // relative, in 100 ns units
    return SetWaitableTimer(timer, &due, static_cast<LONG>(period), nullptr, nullptr, FALSE) != 0;
}

}  // namespace

void SetSamplerThreadStarter(ThreadStarter starter)
{
    g_startThread = starter ? starter : CreateThread;
}

bool Sampler::Start(ProgramGate& gate, Sample sample, HWND window, UINT period, HANDLE exitEvent)
{
    Stop();
    gate_ = &gate;
    sample_ = std::move(sample);
    window_ = window;
    period_ = period;
    exitEvent_ = exitEvent;
    posted_ = false;
    timer_.Reset(CreateWaitableTimerW(nullptr, FALSE, nullptr));
    stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!timer_ || !stop_ || !Arm(timer_.Get(), period_))
        return false;
    thread_.Reset(g_startThread(nullptr, 0, Run, this, 0, nullptr));
    if (!thread_) {
        timer_.Reset();
        stop_.Reset();
    }
    return static_cast<bool>(thread_);
}

void Sampler::SetPeriod(UINT period)
{
    period_ = period;
    if (timer_)
        Arm(timer_.Get(), period_);
}

void Sampler::Stop()
{
    if (thread_) {
        SetEvent(stop_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
    }
    timer_.Reset();
    stop_.Reset();
}

DWORD WINAPI Sampler::Run(void* self)
{
    static_cast<Sampler*>(self)->Loop();
    return 0;
}

void Sampler::Loop()
{
    const HANDLE waits[] = {stop_.Get(), timer_.Get(), exitEvent_};
    DWORD count = exitEvent_ ? 3 : 2;
    for (;;) {
        switch (WaitForMultipleObjects(count, waits, FALSE, INFINITE)) {
        case WAIT_OBJECT_0 + 1:
            Tick();
            break;
        case WAIT_OBJECT_0 + 2:
            PostMessageW(window_, WM_EXIT_REQUESTED, 0, 0);
            // One signal ends one copy: while this one ends, a signal more
            // is another copy's (the event is one for every logon session).
            count = 2;
            break;
        default:  // stopped, or the wait failed
            return;
        }
    }
}

void Sampler::Tick()
{
    // While the worker has not taken the last message, a tick more would
    // only queue up behind it.
    if (posted_)
        return;
    if (!gate_->TryEnter()) {
        Post(WM_SAMPLE_HERE);
        return;
    }
    const bool show = sample_();
    gate_->Leave();
    if (show)
        Post(WM_SHOW_SAMPLE);
}

void Sampler::Post(UINT message)
{
    posted_ = true;
    if (!PostMessageW(window_, message, 0, 0))
        posted_ = false;
}
