#include "CommCtlVersion.h"

bool SupportsWizard97(const CommCtlVersion& version)
{
    if (!version.known)
        return false;
    return version.major > 5 || (version.major == 5 && version.minor >= 80);
}
