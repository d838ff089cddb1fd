#include "exec.h"

#include <cstring>

void NewList(List* list) {
    list->lh_Head = reinterpret_cast<Node*>(&list->lh_Tail);
    list->lh_Tail = nullptr;
    list->lh_TailPred = reinterpret_cast<Node*>(&list->lh_Head);
}

void AddHead(List* list, Node* node) {
    node->ln_Succ = list->lh_Head;
    node->ln_Pred = reinterpret_cast<Node*>(&list->lh_Head);
    list->lh_Head->ln_Pred = node;
    list->lh_Head = node;
}

void AddTail(List* list, Node* node) {
    node->ln_Succ = reinterpret_cast<Node*>(&list->lh_Tail);
    node->ln_Pred = list->lh_TailPred;
    list->lh_TailPred->ln_Succ = node;
    list->lh_TailPred = node;
}

void Remove(Node* node) {
    node->ln_Pred->ln_Succ = node->ln_Succ;
    node->ln_Succ->ln_Pred = node->ln_Pred;
}

Node* RemHead(List* list) {
    Node* node = list->lh_Head;
    if (node->ln_Succ == nullptr) {
        return nullptr;
    }
    Remove(node);
    return node;
}

Node* RemTail(List* list) {
    Node* node = list->lh_TailPred;
    if (node->ln_Pred == nullptr) {
        return nullptr;
    }
    Remove(node);
    return node;
}

Node* FindName(List* list, CONST_STRPTR name) {
    for (Node* n = list->lh_Head; n->ln_Succ != nullptr; n = n->ln_Succ) {
        if (n->ln_Name != nullptr && name != nullptr && std::strcmp(n->ln_Name, name) == 0) {
            return n;
        }
    }
    return nullptr;
}
