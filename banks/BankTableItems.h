#pragma once

#include <cstdint>

#include "LString.h"
#include "XmlDocument.h"

// Calls visit(id, bank) for each Item of a bank table's root element, in document
// order, with both values turned into integers by ToInteger. Nodes that are no
// element, and Items without ID or Bank, are passed over: such an Item could only
// make internal number 0 look known, and the device it meant is asked for again.
template <typename Visit>
void ForEachItem(const XmlElement& root, Visit&& visit) {
    if (root.IsNull()) {
        return;
    }
    XmlChildren children(root);
    XmlElement node;
    while (children.Next(node)) {
        LString id;
        LString bank;
        if (node.IsNull() || !node.GetAttribute(u"ID", id) || !node.GetAttribute(u"Bank", bank)) {
            continue;
        }
        const int32_t device = id.ToInteger();
        const int32_t number = bank.ToInteger();
        visit(device, number);
    }
}
