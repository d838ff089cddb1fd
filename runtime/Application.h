#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tagPOINT.h"

struct IntuiMessage;
struct InputEvent;
struct Menu;
struct Window;

namespace tessella {

class GUIElement;
class Form;

// The registries of live elements (ApplicationRegistry.cpp), the one event loop of the main
// thread with its dispatch (Application.cpp), and the log.
class Application {
public:
    static void Run(Form* mainWindow);
    static void ElaboraEventi(Form* w, IntuiMessage* msg, short& done, InputEvent* event,
                              char*& keyBuffer, uint8_t& keyBufferSize);
    static uint32_t ElaboraMessaggiWinSec(Form* mainWindow, InputEvent* event, char*& keyBuffer,
                                          uint8_t& keyBufferSize);
    static uint32_t ElaboraMessaggiTimer();

    static void AddWinForm(GUIElement* e);
    static void AddWindow(GUIElement* e);
    static void AddTimer(GUIElement* e);
    static void RemoveWinForm(GUIElement* e);
    static void RemoveWindow(GUIElement* e);
    static void RemoveTimer(GUIElement* e);
    static GUIElement* GetElementByID(int32_t id);
    static std::vector<GUIElement*> GetChildren(int32_t parentId);
    static GUIElement* GetChildrenHit(int32_t parentId, tagPOINT p);
    static GUIElement* GetForm(GUIElement* e);
    static void CloseWindows();
    static void RimuoviChildren(int32_t parentId);
    static void ResetRiferimenti();
    static void CancellaBuffer(Window* window);
    // Whether the calling task is the one that reads the window's messages (its loop's task).
    static bool ReadsMessagesOf(const Window* window);
    static int16_t GetKeyState(int16_t rawKey);
    // Hands the keyboard to the control of the window that comes after `from` (before it when
    // backward) in reading order, top to bottom and then left to right, wrapping around. Only
    // controls that take the focus and are loaded, shown and enabled count; with `from` null or
    // none of them, the first (the last when backward) takes it. False when none can.
    static bool MoveFocus(Form* w, GUIElement* from, bool backward);
    // The control of the window that has the keyboard among the custom-drawn ones, or null.
    static GUIElement* FocusIn(Form* w);
    // When the input being handled was made, in microseconds of the wall clock: a handler can
    // tell what the window showed at that moment. 0 outside a handler of an input message.
    static uint64_t EventTime() { return eventTime; }
    static void Log(const char* text);
    static void Log(const std::string& text);
    // Where the log lines go besides standard output; an empty path keeps them off the disk.
    static void SetLogFile(std::string path);
    static std::string GetLogFile();

    static std::vector<GUIElement*> lst;
    static std::vector<GUIElement*> lstForm;
    static std::vector<GUIElement*> lstTimer;
    static Menu* menu;
    static GUIElement* menuBar;
    static uint8_t keyState[256];
    static GUIElement* GadgetSel;
    static GUIElement* CustomsGadgetSel;
    static int16_t SospendiRefresh;
    // The random-number utility's seeding flag, which it keeps itself.
    static int16_t& Randomize;
    static int16_t postQuit;

private:
    static uint64_t eventTime;

public:
private:
    static void MouseButtons(Form* w, IntuiMessage* msg, tagPOINT p);
    static void MouseMove(Form* w, IntuiMessage* msg);
    static void GadgetDown(Form* w, IntuiMessage* msg, tagPOINT p);
    static void GadgetUp(Form* w, IntuiMessage* msg, tagPOINT p);
    static void MenuPick(IntuiMessage* msg);
    static void RawKey(Form* w, IntuiMessage* msg, InputEvent* event, char*& keyBuffer,
                       uint8_t& keyBufferSize);
    static void ReleaseTextGadget();
    static void ReleaseCustomFocus();
    static void LeaveGadgetOtherThan(int32_t id);
    static void ClickOnChild(Form* w, tagPOINT p, bool down);
    static GUIElement* ParentOf(GUIElement* e);
};

}  // namespace tessella
