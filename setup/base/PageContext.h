// The setup context of a wizard page window. The pages keep the context
// with their window, so that the run threads, which are given only the page
// window, find the context through it.
#pragma once

#include "SetupContext.h"

#include <windows.h>

constexpr char kPageContextProperty[] = "SetupContext";

// Stores `context` with `page` (a window property, removed with
// RemovePageContext before the page window is destroyed).
inline bool SetPageContext(HWND page, SetupContext* context)
{
    return SetPropA(page, kPageContextProperty, context) != FALSE;
}

// The context stored with `page`, or null.
inline SetupContext* PageContext(HWND page)
{
    return static_cast<SetupContext*>(GetPropA(page, kPageContextProperty));
}

inline void RemovePageContext(HWND page)
{
    RemovePropA(page, kPageContextProperty);
}
