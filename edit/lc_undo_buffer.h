// The edit's undo history: one record per change of text, kept on unbounded last-in-first-out stacks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One change as it took effect: at SelStart, OldText (OldLength characters) was removed and NewText
// (InsertedLength characters) inserted; CursorPos is the caret position before the change.
struct TLcUndoRecord {
    std::string NewText;
    std::string OldText;
    std::int32_t SelStart = 1;
    std::int32_t OldLength = 0;
    std::int32_t InsertedLength = 0;
    std::int32_t CursorPos = 1;
};

class TLcDynLIFOBuffer {
public:
    void Push(std::unique_ptr<TLcUndoRecord> record) { records_.push_back(std::move(record)); }
    // The newest record, taken off the stack; null when empty.
    std::unique_ptr<TLcUndoRecord> Pop() {
        if (records_.empty()) return nullptr;
        std::unique_ptr<TLcUndoRecord> r = std::move(records_.back());
        records_.pop_back();
        return r;
    }
    const TLcUndoRecord* Top() const { return records_.empty() ? nullptr : records_.back().get(); }
    bool Empty() const { return records_.empty(); }
    std::size_t Count() const { return records_.size(); }
    void Clear() { records_.clear(); }

private:
    std::vector<std::unique_ptr<TLcUndoRecord>> records_;
};
