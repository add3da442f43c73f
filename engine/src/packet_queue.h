#pragma once
// Bounded FIFO of demultiplexed packets between the read thread and its
// consumers. Put and get expect the caller to hold the queue's lock, so a
// caller can check the count and put in one critical section; flush takes it.

#include "video_state.h"

namespace domeview {

// Appends a node that takes over `packet`'s reference (the packet is left
// blank). False when the node cannot be allocated; the packet stays the
// caller's.
bool packet_queue_put(PacketQueue& queue, AVPacket* packet);
// Moves the first packet into `out` (which must be blank); false when empty.
bool packet_queue_get(PacketQueue& queue, AVPacket* out);
// Releases every packet; takes the lock itself.
void packet_queue_flush(PacketQueue& queue);

}  // namespace domeview
