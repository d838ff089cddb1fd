#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

struct Process;

namespace tessella {

class GUIElement;

// Runs one function on a process of its own, so that a long job leaves the event loop free.
class Tread {
public:
    using TreadFn = void (*)(Tread*);

    Tread();
    // Waits for a started function first: the process must never outlive its object.
    virtual ~Tread();

    virtual void Fn();
    virtual void End() {}

    void SetFn(TreadFn f) { fn = f; }
    void SetParent(GUIElement* p) { parent = p; }
    GUIElement* GetParent() const { return parent; }
    int32_t GetID() const { return id; }
    bool IsError() const { return error; }
    std::string GetMsgError() const { return msgError; }
    void ClearError();
    bool Start();
    // A running process is never interrupted: its function notices its own stop flag.
    void Stop() {}
    // Waits until the started function has returned; at once when nothing was started. After it
    // the object may be destroyed: the process touches it no more.
    void Join();
    bool IsFinished();

    static void ThreadFunction();

    static int32_t count;
    // The object the next process takes: jobs start one at a time.
    static std::atomic<Tread*> TreadCurrent;

private:
    TreadFn fn = nullptr;
    bool error = false;
    std::string msgError;
    int32_t id = 0;
    Process* process = nullptr;
    GUIElement* parent = nullptr;
    std::mutex finishLock;
    std::condition_variable finishedSignal;
    bool started = false;
    bool finished = false;
};

}  // namespace tessella
