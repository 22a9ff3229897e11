#include "about/UpdateCheckJob.h"

#include "common/Exception.h"

#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

// What the thread and the window share. Whichever of the two lets go last
// frees it, so a result that comes after the window has gone is freed with
// it and touches nothing else.
struct TUpdateCheckJob::TShared {
    std::mutex Mutex;
    HWND Window = nullptr; // nullptr once the check is abandoned
    UINT Message = 0;
    std::optional<TUpdateCheckResult> Result;
    std::exception_ptr Error;
};

TUpdateCheckJob::TUpdateCheckJob(HWND window, UINT message, TUpdateCheckRun run) : FShared(std::make_shared<TShared>())
{
    FShared->Window = window;
    FShared->Message = message;
    try {
        std::thread([shared = FShared, run = std::move(run)] {
            std::optional<TUpdateCheckResult> result;
            std::exception_ptr error;
            try {
                result = run();
            } catch (...) {
                error = std::current_exception();
            }
            const std::lock_guard lock(shared->Mutex);
            shared->Result = std::move(result);
            shared->Error = error;
            // Posted under the lock: once the destructor has cleared the
            // window, no message can follow.
            if (shared->Window)
                ::PostMessageW(shared->Window, shared->Message, 0, 0);
        }).detach();
    } catch (const std::system_error&) {
        throw Exception("Unable to start the update check");
    }
}

TUpdateCheckJob::~TUpdateCheckJob()
{
    const std::lock_guard lock(FShared->Mutex);
    FShared->Window = nullptr;
}

std::optional<TUpdateCheckResult> TUpdateCheckJob::TakeResult()
{
    const std::lock_guard lock(FShared->Mutex);
    if (FShared->Error)
        std::rethrow_exception(std::exchange(FShared->Error, nullptr));
    return std::exchange(FShared->Result, std::nullopt);
}
