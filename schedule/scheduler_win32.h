// The one place that starts, stops and forgets the worker thread.
#ifndef KELVAST_SCHEDULER_WIN32_H
#define KELVAST_SCHEDULER_WIN32_H

#include <windows.h>

#include <cstdint>

#include "schedule/schedule_entry.h"
#include "schedule/worker_win32.h"

struct WorkerJob;

class Scheduler {
  public:
    enum Outcome { WORKER_STARTED, WORKER_ALREADY_RUNNING, WORKER_FAILED };

    Scheduler() = default;
    // A worker still running is woken and told to stop, and given a second to end, so that the
    // process never ends in the middle of a launch. Only once the dialog is gone: the worker's last
    // send must not wait for it.
    ~Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Where the workers report.
    void notify(const WorkerReceiver& receiver);
    // First step of every Start, valid or not: a Cancel the worker has not seen yet is undone.
    void clear_stop();
    // Stores what to run. Starts a worker from `from` unless one runs; a running one goes on with the
    // copy it took when it began (a Start during a run stores the same values again).
    Outcome start(const char* command_line, uint32_t target_second, const char* day_mask, const WorkerStart& from);
    // The worker sees the flag at its next poll and sends WORKER_DONE.
    void cancel();
    // For WORKER_DONE: the worker is on its way out; its handle is closed and forgotten.
    void worker_done();

    bool worker_running() const { return thread_ != nullptr; }
    bool stop_requested() const { return request_.stop.load(); }
    // What the last Start stored.
    const ScheduleRequest& request() const { return request_; }

  private:
    void set_stop(bool stop);

    ScheduleRequest request_{};
    WorkerJob* job_ = nullptr;  // shared with the running worker; the last of the two frees it
    HANDLE thread_ = nullptr;
    WorkerReceiver receiver_{};
};

#endif
