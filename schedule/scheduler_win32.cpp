#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "schedule/scheduler_win32.h"

#include "base/bounded_text.h"
#include "schedule/worker.h"
#include "schedule/worker_win32.h"

// What a worker thread gets through its start parameter: its own copy of the request (of which
// only the stop flag changes while it runs), what the run record tells it, and where to report.
// The scheduler keeps a share to reach the flag; whichever lets go last frees it, so neither
// outlives the other's memory.
struct WorkerJob {
    ScheduleRequest request{};
    WorkerStart start{};
    WorkerReceiver receiver{};
    Shares shares;
};

namespace {

// From the C runtime's heap rather than operator new, which would bring the C++ runtime's
// exceptions into kelvast.exe.
WorkerJob* new_job() {
    void* memory = malloc(sizeof(WorkerJob));
    return memory != nullptr ? new (memory) WorkerJob : nullptr;
}

void free_job(WorkerJob* job) {
    job->~WorkerJob();
    free(job);
}

void release(WorkerJob* job) {
    if (job->shares.release()) {
        free_job(job);
    }
}

DWORD WINAPI worker_thread_main(LPVOID parameter) {
    WorkerJob* job = static_cast<WorkerJob*>(parameter);
    Win32WorkerPlatform platform(job->receiver);
    const DWORD result = run_worker(job->request, job->start, platform);
    release(job);
    return result;
}

}  // namespace

Scheduler::~Scheduler() {
    if (job_ != nullptr) {
        // A launch under way is finished, not cut in half; a sleeping worker ends after its poll.
        job_->request.stop = true;
        WaitForSingleObject(thread_, WORKER_EXIT_WAIT_MS);
        release(job_);
    }
    CloseHandle(thread_);
}

void Scheduler::notify(const WorkerReceiver& receiver) {
    receiver_ = receiver;
}

void Scheduler::set_stop(bool stop) {
    request_.stop = stop;
    if (job_ != nullptr) {
        job_->request.stop = stop;
    }
}

void Scheduler::clear_stop() {
    set_stop(false);
}

void Scheduler::cancel() {
    set_stop(true);
}

Scheduler::Outcome Scheduler::start(const char* command_line,
                                    uint32_t target_second,
                                    const char* day_mask,
                                    const WorkerStart& from) {
    copy_text(request_.command_line, sizeof request_.command_line, command_line);
    request_.target_second = target_second;
    copy_text(request_.day_mask, sizeof request_.day_mask, day_mask);
    if (thread_ != nullptr) {
        return WORKER_ALREADY_RUNNING;
    }
    WorkerJob* job = new_job();
    if (job == nullptr) {
        return WORKER_FAILED;
    }
    memcpy(job->request.command_line, request_.command_line, sizeof job->request.command_line);
    job->request.target_second = request_.target_second;
    memcpy(job->request.day_mask, request_.day_mask, sizeof job->request.day_mask);
    job->request.stop = request_.stop.load();
    job->start = from;
    job->receiver = receiver_;
    thread_ = CreateThread(nullptr, WORKER_STACK_RESERVE, worker_thread_main, job, STACK_SIZE_PARAM_IS_A_RESERVATION,
                           nullptr);
    if (thread_ == nullptr) {
        free_job(job);
        return WORKER_FAILED;
    }
    job_ = job;
    return WORKER_STARTED;
}

void Scheduler::worker_done() {
    if (job_ == nullptr) {
        return;
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    release(job_);
    job_ = nullptr;
}
