#pragma once

// The update check on a thread of its own, so the window that asked for it
// keeps answering while the exchange takes its time (a slow server, a dead
// route, a proxy that never answers can each hold it for minutes).

#include "about/UpdateCheck.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

using TUpdateCheckRun = std::function<TUpdateCheckResult()>;

class TUpdateCheckJob {
public:
    // Starts run on a new thread; once it is done, message is posted to
    // window, which then takes the result with TakeResult. Throws Exception
    // when no thread can be started.
    TUpdateCheckJob(HWND window, UINT message, TUpdateCheckRun run);
    // Abandons the check: the window is never told, and the thread ends by
    // itself within the exchange's time limits, freeing what it holds. A
    // program that exits meanwhile does not wait for it.
    ~TUpdateCheckJob();
    TUpdateCheckJob(const TUpdateCheckJob&) = delete;
    TUpdateCheckJob& operator=(const TUpdateCheckJob&) = delete;

    // The result once the message has come; rethrows what the check threw.
    // Nothing before.
    std::optional<TUpdateCheckResult> TakeResult();

private:
    struct TShared;
    std::shared_ptr<TShared> FShared;
};
