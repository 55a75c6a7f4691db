// The answer to the question whether a newer installed version of the
// product is replaced: asked (the default), or given by /newer: on the
// command line for runs nobody watches. Plain logic without windows.h.
#pragma once

enum class NewerAnswer {
    Ask,      // the question box
    Replace,  // as if Yes was answered, without a box
    Keep,     // as if No was answered, without a box; the run ends with 1638
};
