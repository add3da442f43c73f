#include "packet_queue.h"

#include <new>

namespace domeview {

bool packet_queue_put(PacketQueue& queue, AVPacket* packet) {
  auto* node = new (std::nothrow) PacketNode{av_packet_alloc(), nullptr};
  if (!node) return false;
  if (!node->packet) {
    delete node;
    return false;
  }
  av_packet_move_ref(node->packet, packet);
  if (queue.last) {
    queue.last->next = node;
  } else {
    queue.first = node;
  }
  queue.last = node;
  ++queue.count;
  return true;
}

bool packet_queue_get(PacketQueue& queue, AVPacket* out) {
  PacketNode* node = queue.first;
  if (!node) return false;
  queue.first = node->next;
  if (!queue.first) queue.last = nullptr;
  --queue.count;
  av_packet_move_ref(out, node->packet);
  av_packet_free(&node->packet);
  delete node;
  return true;
}

void packet_queue_flush(PacketQueue& queue) {
  std::lock_guard<std::mutex> lock(queue.lock);
  for (PacketNode* node = queue.first; node;) {
    PacketNode* next = node->next;
    av_packet_free(&node->packet);
    delete node;
    node = next;
  }
  queue.first = queue.last = nullptr;
  queue.count = 0;
}

}  // namespace domeview
