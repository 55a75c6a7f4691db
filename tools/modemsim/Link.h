// The symlink through which Wine (or a test) finds the pty slave.
#pragma once

#include <string>

namespace modemsim {

// Makes `linkPath` a symlink to `target`. An existing link (or file) at
// `linkPath` is replaced atomically: a temporary link is made beside it and
// renamed over it.
bool CreateLink(const std::string& linkPath, const std::string& target, std::string& error);

// Removes `linkPath` only while it still points to `target`, so a link that
// another simulator has taken over in the meantime is left alone.
void RemoveLinkIfOurs(const std::string& linkPath, const std::string& target);

}  // namespace modemsim
