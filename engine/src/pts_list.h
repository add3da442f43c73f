#pragma once
// The ascending list of presentation times of the pictures in the frame
// ring. The render thread times the picture it takes next by the smallest
// pending value, so pictures get ascending times in the order they are shown.
// Each operation takes the list's lock itself.

#include "video_state.h"

namespace domeview {

// Inserts in ascending order; among equal values the newer one sits nearer
// the smallest end. False when the node cannot be allocated.
bool pts_list_push(PtsList& list, int64_t value);
// The smallest value; false when the list is empty.
bool pts_list_peek(PtsList& list, int64_t* value);
// Removes and returns the smallest value; 0 when the list is empty.
int64_t pts_list_pop(PtsList& list);
// Removes one node holding `value` (the one nearest the smallest end).
void pts_list_remove(PtsList& list, int64_t value);
void pts_list_clear(PtsList& list);
int pts_list_count(PtsList& list);

}  // namespace domeview
