# The VX-56i of tools/modemsim/profiles/vantor-vx.profile with its echo off:
# it answers every command, but a program that waits for the echo of each
# character it sends begins its commands again and again.

echo off
guard 1000
cmd ATI0 = 30 "\r\nVANTOR VX-56i V.90 DATA/FAX MODEM\r\n" 10 "\r\nOK\r\n"
cmd AT+GMM = 40 "\r\n+GMM: \"VX-56i\"\r\n" 10 "\r\nOK\r\n"
cmd ATI3 = 30 "\r\nVX-56i\r\n" 10 "\r\nOK\r\n"
cmd AT+GMR = 30 "\r\nVersion 3.02 / 2005-01-20\r\n" 10 "\r\nOK\r\n"
cmd AT*VER = 30 "\r\nVersion 3.02 / 2005-01-20\r\n" 10 "\r\nOK\r\n"
cmd AT*RAM = 120 "\r\nRAM 512K TESTED\r\n" 10 "\r\nOK\r\n"
cmd AT*CRC = 80 "\r\nCRC 5A3C PASSED\r\n" 10 "\r\nOK\r\n"
cmd AT*DIAG = 300 "\r\nDIAG <5631 1=F 2=8340 3=\"V.34 33600\" 4=1 5=17 6=0>\r\n" 20 "\r\nOK\r\n"
