#pragma once
// One maker per kind; each kind lives in the source file named after its class.

#include <vector>

#include "GTGadget.h"

namespace tessella::gadtools {

GTGadget* NewContextGadget(VisualInfo* vi);
GTGadget* NewButtonGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags);
GTGadget* NewCheckBoxGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags);
GTGadget* NewCycleGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags);
GTGadget* NewMxGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags);
GTGadget* NewListViewGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags);
GTGadget* NewPropGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags);
GTGadget* NewStringGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags);
GTGadget* NewTextGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags);

// The strings of a null-terminated label array, copied.
std::vector<std::string> CopyLabels(const TagItem* labels);

}  // namespace tessella::gadtools
