#include "Tread.h"

#include <dos.h>

#include "StringUtils.h"

int32_t Tread::count = 0;
std::atomic<Tread*> Tread::TreadCurrent{nullptr};

Tread::Tread() : id(++count) {}

void Tread::Fn() {
    if (fn != nullptr) {
        fn(this);
    }
}

void Tread::ClearError() {
    error = false;
    msgError.clear();
}

bool Tread::Start() {
    const std::string name = "task" + StringUtils::IntToStr(count);
    TreadCurrent = this;
    process = CreateNewProcTags(NP_Entry, reinterpret_cast<IPTR>(&Tread::ThreadFunction),
                                NP_StackSize, 65536, NP_Priority, static_cast<IPTR>(-127), NP_Name,
                                reinterpret_cast<IPTR>(name.c_str()), TAG_DONE);
    if (process == nullptr) {
        error = true;
        msgError = "Errore nella creazione del Tread";
    }
    return !error;
}

void Tread::ThreadFunction() {
    Tread* self = TreadCurrent;
    if (self != nullptr) {
        self->Fn();
    }
}
