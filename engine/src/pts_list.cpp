#include "pts_list.h"

#include <new>

namespace domeview {
namespace {

void Unlink(PtsList& list, PtsNode* node) {
  (node->previous ? node->previous->next : list.smallest) = node->next;
  (node->next ? node->next->previous : list.largest) = node->previous;
  --list.count;
  delete node;
}

}  // namespace

bool pts_list_push(PtsList& list, int64_t value) {
  auto* node = new (std::nothrow) PtsNode{value, nullptr, nullptr};
  if (!node) return false;
  std::lock_guard<std::mutex> lock(list.lock);
  // Walk from the largest end to the first node smaller than the value and
  // insert just after it (before it in the walk's direction).
  PtsNode* below = list.largest;
  while (below && below->value >= value) below = below->previous;
  node->previous = below;
  node->next = below ? below->next : list.smallest;
  (node->next ? node->next->previous : list.largest) = node;
  (below ? below->next : list.smallest) = node;
  ++list.count;
  return true;
}

bool pts_list_peek(PtsList& list, int64_t* value) {
  std::lock_guard<std::mutex> lock(list.lock);
  if (!list.smallest) return false;
  *value = list.smallest->value;
  return true;
}

int64_t pts_list_pop(PtsList& list) {
  std::lock_guard<std::mutex> lock(list.lock);
  if (!list.smallest) return 0;
  const int64_t value = list.smallest->value;
  Unlink(list, list.smallest);
  return value;
}

void pts_list_remove(PtsList& list, int64_t value) {
  std::lock_guard<std::mutex> lock(list.lock);
  for (PtsNode* node = list.smallest; node; node = node->next) {
    if (node->value == value) {
      Unlink(list, node);
      return;
    }
  }
}

void pts_list_clear(PtsList& list) {
  std::lock_guard<std::mutex> lock(list.lock);
  for (PtsNode* node = list.smallest; node;) {
    PtsNode* next = node->next;
    delete node;
    node = next;
  }
  list.smallest = list.largest = nullptr;
  list.count = 0;
}

int pts_list_count(PtsList& list) {
  std::lock_guard<std::mutex> lock(list.lock);
  return list.count;
}

}  // namespace domeview
