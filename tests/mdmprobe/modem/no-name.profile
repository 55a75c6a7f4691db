# A modem of the Vantor family that answers both name queries with a bare OK
# (no model name), and everything else the scan asks as the VX-56i does.
echo on
cmd ATI0 = 30 "\r\nVANTOR V.90 DATA/FAX MODEM\r\n" 10 "\r\nOK\r\n"
cmd AT+GMM = 40 "\r\nOK\r\n"
cmd ATI3 = 30 "\r\nOK\r\n"
cmd AT+GMR = 30 "\r\nVersion 3.10 / 2006-03-01\r\n" 10 "\r\nOK\r\n"
