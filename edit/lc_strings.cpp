#include "edit/lc_strings.h"

std::string LcLoadResString(std::uint16_t id) {
    switch (id) {
    case kSEditUndo: return "&Undo";
    case kSEditCut: return "&Cut";
    case kSEditCopy: return "&Copy";
    case kSEditPaste: return "&Paste";
    case kSEditDelete: return "&Delete";
    case kSEditSelectAll: return "Select all";
    default: return {};
    }
}
