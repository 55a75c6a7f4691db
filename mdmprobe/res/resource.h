// Resource identifiers of the modem test, shared by the program and all six
// language scripts.
#pragma once

#define IDS_APP_CAPTION 1
