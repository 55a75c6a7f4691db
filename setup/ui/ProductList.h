// Writing the setup context's product list (the text list of product keys
// the run installs), kept in one place so that a change of its buffer
// stays here.
#pragma once

#include "SetupContext.h"

#include <vector>

// Rewrites the product list with the keys of `components` (indexes into the
// global component list), in order, growing the list's buffer as needed. A
// key left out for want of memory is reported to the debug log. Returns the
// number of keys written.
int WriteProductList(SetupContext* context, const std::vector<int>& components);
