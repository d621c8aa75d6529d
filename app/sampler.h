#pragma once
// The sampling tick's clock, off the program's thread.
//
// Under Wine every wake-up of a thread with windows costs more than the whole
// snapshot, and at 50 ms most ticks change nothing on the screen. So a thread
// of its own takes the snapshot and samples the records, and wakes the
// program's thread only when something shown must change. The program's
// objects belong to the program's thread: it holds the gate all the time
// except while it waits for messages, and the sampler samples only when it can
// enter the gate; when it cannot (a menu, a dialog or a message is being
// handled), it asks the program's thread to run the whole tick itself.
//
// The same thread watches the exit event, so that the program hears of it
// whatever its own thread is doing (a menu or a dialog runs a message loop of
// its own). Under Wine every thread costs about 1 MB: one does both.
#include <windows.h>

#include <atomic>
#include <functional>

#include "common/win_handles.h"

// How the sampler's thread is started: CreateThread, unless a test put one
// that fails in force (null puts CreateThread back).
using ThreadStarter = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);
void SetSamplerThreadStarter(ThreadStarter starter);

// Held by the thread that makes it until that thread opens it.
class ProgramGate {
public:
    ProgramGate() { AcquireSRWLockExclusive(&lock_); }
    ~ProgramGate() { ReleaseSRWLockExclusive(&lock_); }
    ProgramGate(const ProgramGate&) = delete;
    ProgramGate& operator=(const ProgramGate&) = delete;

    // The holding thread lets the sampler in, and takes the gate back.
    void Open() { ReleaseSRWLockExclusive(&lock_); }
    void Close() { AcquireSRWLockExclusive(&lock_); }
    // The sampler's side: never waits.
    bool TryEnter() { return TryAcquireSRWLockExclusive(&lock_) != 0; }
    void Leave() { ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

class Sampler {
public:
    Sampler() = default;
    ~Sampler() { Stop(); }
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

    // What a tick does while the gate is entered: samples, and answers
    // whether the program's thread has anything to show.
    using Sample = std::function<bool()>;

    // Starts ticking every `period` ms, posting to `window`, and posts
    // WM_EXIT_REQUESTED there when `exitEvent` (when given) is signalled, once:
    // it then waits on it no more. False when the thread or its timer cannot
    // be made.
    bool Start(ProgramGate& gate, Sample sample, HWND window, UINT period, HANDLE exitEvent = nullptr);
    // The period from now on (kept for the start while not running).
    void SetPeriod(UINT period);
    UINT Period() const { return period_; }
    bool Running() const { return static_cast<bool>(thread_); }
    // Ends the thread and waits for it; nothing is posted afterwards.
    void Stop();
    // The worker took the message posted last: the next may be posted.
    void Taken() { posted_ = false; }

private:
    static DWORD WINAPI Run(void* self);
    void Loop();
    void Tick();
    void Post(UINT message);

    ProgramGate* gate_ = nullptr;
    Sample sample_;
    HWND window_ = nullptr;
    UINT period_ = 50;
    HANDLE exitEvent_ = nullptr;  // not owned
    UniqueHandle timer_;
    UniqueHandle stop_;
    UniqueHandle thread_;
    std::atomic<bool> posted_{false};  // a message is waiting for the worker
};
