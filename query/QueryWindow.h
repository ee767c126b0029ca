// What the query engine needs from the window that shows its results.
// Threading: every operation is called on the window's thread, except PostServerDone and a
// ShowMessage that reports a failure of the worker, which the worker calls; those must only
// queue work for the window's thread (the browser uses a queued invocation), never wait for it.
#pragma once

#include "net/SysEvent.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class CServerRecord;

class CQueryWindowInterface {
public:
    virtual ~CQueryWindowInterface() = default;

    // Index of the Version choice: 0 "1.0", 1 "1.04", 2 "All".
    virtual int GetVersionIndex() = 0;
    // Index of the Speed choice, 0 "Modem" to 5 "DSL*4"; anything else counts as "ISDN".
    virtual int GetSpeedIndex() = 0;
    virtual bool GetIncludeEmpty() = 0;
    virtual bool GetIncludeFull() = 0;
    virtual void SetWaitCursor(bool wait) = 0;
    // An OK message box; stop = with the stop icon (errors).
    virtual void ShowMessage(const std::string& text, bool stop) = 0;
    // A run starts over `servers` records: empty the tables, show the counters, and keep `run`
    // to tell this run's records from those of runs before it.
    // CQueryEngine::IsListing tells whether later masters may still add to it.
    virtual void OnQueryStarted(unsigned run, std::size_t servers) = 0;
    // A later master's list is complete: these new records join run `run`. The worker owns
    // them until it posts them, like the run's first ones.
    virtual void OnQueryGrown(unsigned /*run*/, const std::vector<CServerRecord*>& /*added*/) {}
    // No master adds to run `run` any more; it ends when its servers are in.
    virtual void OnListingComplete(unsigned /*run*/) {}
    // A refresh of `servers` listed servers starts (CQueryEngine::StartRefresh).
    virtual void OnRefreshStarted(unsigned /*refresh*/, std::size_t /*servers*/) {}
    // Worker thread: the fresh record of one refreshed server is finished. As PostServerDone;
    // it must be read only while the refresh is current (CQueryEngine::IsCurrentRefresh).
    virtual void PostRefreshDone(unsigned /*refresh*/, CServerRecord* /*fresh*/) {}
    // Worker thread: `record` of run `run` is finished. It must be read only if `run` is still
    // the engine's current run (CQueryEngine::IsCurrentRun), since a newer run may have
    // cleared or reset the list since.
    virtual void PostServerDone(unsigned run, CServerRecord* record) = 0;
    // Every wait of the master exchange, which runs on the window's thread; answers as
    // WaitForMultipleObjects. A window keeps handling its own events here (painting, sizing,
    // "Close"), so it must refuse to start anything else meanwhile.
    virtual std::uint32_t WaitDuringMasterExchange(std::initializer_list<CWaitable*> objects,
                                                   std::uint32_t timeoutMs) {
        return WaitForMultipleObjects(objects, timeoutMs);
    }
};
