// The registries of live elements: every element is listed from its construction to its
// destruction, windows and timers also in lists of their own. The lists own nothing; they are
// how the event loop finds the element a message is for.
#include <algorithm>

#include "Application.h"
#include "Child.h"
#include "ElementKind.h"
#include "Form.h"
#include "MenuEntries.h"
#include "util/StringUtils.h"

namespace tessella {

std::vector<GUIElement*> Application::lst;
std::vector<GUIElement*> Application::lstForm;
std::vector<GUIElement*> Application::lstTimer;

namespace {

bool Erase(std::vector<GUIElement*>& list, GUIElement* e) {
    const auto it = std::find(list.begin(), list.end(), e);
    if (it == list.end()) {
        return false;
    }
    list.erase(it);
    return true;
}

std::string NotFound(const char* where, GUIElement* e, const char* countLabel, size_t count) {
    return std::string(" NON TROVATO! Application::") + where + " = " + e->GetOrvClassName() +
           countLabel + StringUtils::IntToStr(static_cast<int64_t>(count)) + " id " +
           StringUtils::IntToStr(e->GetID());
}

}  // namespace

GUIElement* Application::ParentOf(GUIElement* e) {
    const Child* c = dynamic_cast<const Child*>(e);
    return c != nullptr ? c->GetParent() : nullptr;
}

void Application::AddWinForm(GUIElement* e) {
    lst.push_back(e);
}

void Application::AddWindow(GUIElement* e) {
    if (IsKind(e, "form")) {
        lstForm.push_back(e);
    }
}

void Application::AddTimer(GUIElement* e) {
    if (IsKind(e, "timer")) {
        lstTimer.push_back(e);
    }
}

void Application::RemoveWinForm(GUIElement* e) {
    if (IsKind(e, "form")) {
        RemoveWindow(e);
    } else if (IsKind(e, "timer")) {
        RemoveTimer(e);
    }
    if (!Erase(lst, e)) {
        Log(NotFound("RemoveWinForm", e, " size ", lst.size()));
    }
    if (GadgetSel == e) {
        GadgetSel = nullptr;
    }
    if (CustomsGadgetSel == e) {
        CustomsGadgetSel = nullptr;
    }
}

void Application::RemoveWindow(GUIElement* e) {
    if (!Erase(lstForm, e)) {
        Log(NotFound("RemoveWindow", e, " lx ", lstForm.size()));
    }
}

void Application::RemoveTimer(GUIElement* e) {
    if (!Erase(lstTimer, e)) {
        Log(NotFound("RemoveWindow", e, " lx ", lstTimer.size()));
    }
}

GUIElement* Application::GetElementByID(int32_t id) {
    if (id == 0) {
        return nullptr;  // not loaded yet: no lookup finds it
    }
    for (GUIElement* e : lst) {
        if (e != nullptr && e->GetID() == id) {
            return e;
        }
    }
    return nullptr;
}

std::vector<GUIElement*> Application::GetChildren(int32_t parentId) {
    std::vector<GUIElement*> children;
    for (GUIElement* e : lst) {
        GUIElement* parent = e != nullptr && e->IsChildren() != 0 ? ParentOf(e) : nullptr;
        if (parent == nullptr || parent->GetID() != parentId) {
            continue;
        }
        children.push_back(e);
        if (IsKind(e, "panel")) {
            const std::vector<GUIElement*> inner = GetChildren(e->GetID());
            children.insert(children.end(), inner.begin(), inner.end());
        }
    }
    return children;
}

GUIElement* Application::GetChildrenHit(int32_t parentId, tagPOINT p) {
    for (GUIElement* e : lst) {
        if (e == nullptr || e->IsChildren() == 0 || !e->IsLoad() || !e->IsVisible() ||
            !e->GetEnabled()) {
            continue;
        }
        GUIElement* parent = ParentOf(e);
        if (parent == nullptr || parent->GetID() != parentId) {
            continue;
        }
        if (IsKind(e, "panel")) {
            const tagPOINT at = e->GetPosition();
            if (GUIElement* inner = GetChildrenHit(e->GetID(), {p.x - at.x, p.y - at.y})) {
                return inner;
            }
        } else if (e->Hit(p)) {
            return e;
        }
    }
    return nullptr;
}

GUIElement* Application::GetForm(GUIElement* e) {
    while (e != nullptr && !IsKind(e, "form")) {
        e = ParentOf(e);
    }
    return e;
}

void Application::CloseWindows() {
    const std::vector<GUIElement*> all = lst;
    for (GUIElement* e : all) {
        if (std::find(lst.begin(), lst.end(), e) != lst.end() && IsKind(e, "form") && e->IsLoad()) {
            static_cast<Form*>(e)->CloseForm();
        }
    }
}

void Application::RimuoviChildren(int32_t parentId) {
    std::vector<GUIElement*> direct;
    for (GUIElement* e : lst) {
        GUIElement* parent = e != nullptr && e->IsChildren() != 0 ? ParentOf(e) : nullptr;
        if (parent != nullptr && parent->GetID() == parentId) {
            direct.push_back(e);
        }
    }
    for (GUIElement* child : direct) {
        if (IsKind(child, "panel")) {
            RimuoviChildren(child->GetID());
        } else if (IsKind(child, "menubar")) {
            if (auto* bar = dynamic_cast<MenuEntries*>(child)) {
                for (int i = 0; i < bar->count(); ++i) {
                    GUIElement* m = bar->at(i);
                    if (m != nullptr) {
                        RimuoviChildren(m->GetID());
                        RemoveWinForm(m);
                    }
                }
            }
        }
        RemoveWinForm(child);
    }
}

void Application::ResetRiferimenti() {
    GadgetSel = nullptr;
    CustomsGadgetSel = nullptr;
}

}  // namespace tessella
