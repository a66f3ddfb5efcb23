// The string a reader of request 1 shows in place of the interfaces when it
// has none to show.
#pragma once

#include "core/interface_list.h"

// String 7, 8 or 9 for a service that did not answer with a list; `emptyId`
// for an empty one (and for records of which none could be kept).
unsigned InterfaceListMessageId(InterfaceListOutcome outcome, unsigned emptyId);
