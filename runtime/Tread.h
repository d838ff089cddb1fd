#pragma once

#include <atomic>
#include <cstdint>
#include <string>

class GUIElement;
struct Process;

// Runs one function on a process of its own, so that a long job leaves the event loop free.
class Tread {
public:
    using TreadFn = void (*)(Tread*);

    Tread();
    virtual ~Tread() = default;

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
};
