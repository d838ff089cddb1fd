#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/CryptEngine.h"

namespace tessella {

// A job driven the way the window drives it: inputs set as the engine's fields, every message,
// focus move and progress value recorded. `onProgress` lets a test act at a given point, as a user
// pressing STOP.
class TestJob : public CryptEngine {
public:
    std::vector<std::string> errors;
    std::vector<FieldFocus> focuses;
    std::vector<std::string> messages;
    std::vector<int> progressValues;
    std::vector<std::string> captions;
    int enableCalls = 0;
    std::function<void(int)> onProgress;

    // Runs a whole job as START does.
    void Start() {
        running = true;
        evTread();
    }
    std::string LastError() const { return errors.empty() ? std::string() : errors.back(); }
    FieldFocus LastFocus() const { return focuses.empty() ? FieldFocus::None : focuses.back(); }

protected:
    int GetProgress() override { return progress; }
    void SetProgress(int value) override {
        progress = std::clamp(value, 0, 100);
        progressValues.push_back(progress);
        if (onProgress) {
            onProgress(progress);
        }
    }
    void ShowError(const std::string& message, FieldFocus focus) override {
        errors.push_back(message);
        focuses.push_back(focus);
    }
    void ShowMessage(const std::string& message) override { messages.push_back(message); }
    void AbilitaDisabilita(bool enable) override { enableCalls += enable ? 1 : 0; }
    void SetStartCaption(const std::string& caption) override { captions.push_back(caption); }

private:
    int progress = 0;
};

}  // namespace tessella
