#include "WireTranscript.h"

namespace {

// Trimming goes this far below the limit, so that a long flood trims once
// per this many bytes rather than at every read.
constexpr size_t kTrimRoom = 16 * 1024;

}  // namespace

uint32_t CWireTranscript::MsAt(uint32_t tick)
{
    if (!started_) {
        started_ = true;
        originTick_ = tick;
    }
    // Unsigned difference: correct across the tick counter's wrap-around.
    return tick - originTick_;
}

void CWireTranscript::AddEvent(WireKind kind, uint32_t tick, const std::string& port)
{
    const uint32_t ms = MsAt(tick);
    entries_.push_back(WireEntry{kind, ms, ms, port});
    held_ += kEntryCost + port.size();
    Trim();
}

void CWireTranscript::AddBytes(WireKind kind, uint32_t tick, const char* bytes, size_t count)
{
    if (count == 0)
        return;
    const uint32_t ms = MsAt(tick);
    if (!entries_.empty()) {
        WireEntry& last = entries_.back();
        if (last.kind == kind && ms - last.lastMs <= kBurstGapMs) {
            last.text.append(bytes, count);
            last.lastMs = ms;
            held_ += count;
            Trim();
            return;
        }
    }
    entries_.push_back(WireEntry{kind, ms, ms, std::string(bytes, count)});
    held_ += kEntryCost + count;
    Trim();
}

void CWireTranscript::Trim()
{
    if (held_ <= kLimitBytes)
        return;
    const size_t target = kLimitBytes - kTrimRoom;
    while (held_ > target && entries_.size() > 1) {
        const WireEntry& oldest = entries_.front();
        if (oldest.kind == WireKind::Out || oldest.kind == WireKind::In)
            droppedBytes_ += oldest.text.size();
        held_ -= kEntryCost + oldest.text.size();
        entries_.pop_front();
    }
    if (held_ > target) {
        // One burst alone is too long (a modem that floods without a pause):
        // its oldest bytes go.
        WireEntry& only = entries_.front();
        const size_t cut = held_ - target;
        only.text.erase(0, cut);
        held_ -= cut;
        droppedBytes_ += cut;
    }
}
