// Clean-up rules for the answers that identify a modem: the model name and
// the firmware version. `answer` is the text a request collected after the
// command's echo, final result included. Plain strings only; built and tested
// on the host.
//
// A name or firmware version never holds a control byte (below the blank, or
// DEL): NUL and the other control bytes a modem puts into its answers are
// dropped before the rules below are applied, all but CR and LF, which the
// rules use; a CR or LF the rules leave inside the result is dropped last.
// 8-bit bytes are characters and stay.
#pragma once

#include <string>

// Answer to ModemReadName. False when it holds no "OK". Otherwise `name` is
// the text before the last "OK", without blanks, CRs and LFs at its ends, cut
// before its last CR (if one is left), without everything up to and
// including "+GMM:", and without blanks and double quotes at its ends:
// "\r\n+GMM: \"VX-56i\"\r\n\r\nOK\r\n" gives VX-56i.
bool ParseModemName(const std::string& answer, std::string& name);

// Answer to ModemReadName2. False when it holds no "OK". Otherwise `name` is
// the text before the last "OK" without blanks, CRs and LFs at its ends.
bool ParseModemName2(const std::string& answer, std::string& name);

// Answer to the firmware command. The text before the first "OK", trimmed of
// blanks, CRs and LFs, loses everything up to and including the first
// "Version", or else "Ver.", or else "Ver"; then its blanks at both ends.
// `version` becomes that text up to its first blank, slash or line end
// ("Version 3.02 / 2005-01-20" and "Version 3.02" both give 3.02).
// False, with `version` untouched, when the answer holds no "OK" or when
// there is no keyword and nothing before the "OK".
bool ParseFirmwareVersion(const std::string& answer, std::string& version);
