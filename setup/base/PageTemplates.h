// In-memory dialog templates for the pages of the classic wizard (see
// ClassicPageLayout.h). Each result is a heap block owned by the caller,
// who hands it to the page (PSP_DLGINDIRECT) and frees it with
// FreePageTemplate when the page is released.
#pragma once

#include <windows.h>

// Dialog `dialogId` of `module` laid out as an exterior page with watermark
// bitmap `bitmapId`. nullptr when the dialog cannot be loaded or read.
DLGTEMPLATE* LoadWelcomePageTemplate(HINSTANCE module, UINT dialogId, UINT bitmapId);

// Dialog `dialogId` of `module` laid out as an interior page whose header
// shows strings `titleId` and `subtitleId` (each at most 255 characters).
DLGTEMPLATE* LoadInteriorPageTemplate(HINSTANCE module, UINT dialogId, UINT titleId, UINT subtitleId);

void FreePageTemplate(const DLGTEMPLATE* block);
