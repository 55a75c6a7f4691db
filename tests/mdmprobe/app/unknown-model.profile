# The VX-56i under a name the sample definition file does not know (a new
# model, or a name garbled on the line): AT+GMM answers VX-99.

echo on
guard 1000

# Detection and identification (Common section).
cmd ATI0 = 30 "\r\nVANTOR VX-56i V.90 DATA/FAX MODEM\r\n" 10 "\r\nOK\r\n"
cmd AT+GMM = 40 "\r\n+GMM: \"VX-99\"\r\n" 10 "\r\nOK\r\n"
cmd ATI3 = 30 "\r\nVX-56i\r\n" 10 "\r\nOK\r\n"
cmd AT+GMR = 30 "\r\nVersion 3.02 / 2005-01-20\r\n" 10 "\r\nOK\r\n"
# The model's own firmware command ([VX-56i] ModemReadFirmw).
cmd AT*VER = 30 "\r\nVersion 3.02 / 2005-01-20\r\n" 10 "\r\nOK\r\n"

# Memory and stored-checksum tests: the answers hold no "FAULT" and do hold
# "PASSED", so both tests pass. Both come well before the program's first
# scroll CR (250 ms), so no echoed CR lands in the logged answers.
cmd AT*RAM = 120 "\r\nRAM 512K TESTED\r\n" 10 "\r\nOK\r\n"
cmd AT*CRC = 80 "\r\nCRC 5A3C PASSED\r\n" 10 "\r\nOK\r\n"

# Diagnostic report, described by the [AT*DIAG] section: line state bits
# 0-3, 33600 bps, modulation, disconnect reason "Local hang-up", -23 dBm,
# no retrains.
cmd AT*DIAG = 300 "\r\nDIAG <5631 1=F 2=8340 3=\"V.34 33600\" 4=1 5=17 6=0>\r\n" 20 "\r\nOK\r\n"

# Test call: ATDTW<number> (waits for the dial tone) and ATDT<number> both
# dial; every call connects above the models' MinSpeed.
connect "CONNECT 33600/V42"
dial default delay 1500 connect
