# A well-behaved 56k modem: echo on, quick answers, every call connects.

echo on
guard 1000

cmd ATI = 20 "\r\nModel 56\r\n" 10 "\r\nOK\r\n"
cmd ATI3 = 20 "\r\nV1.42 2004-05-11\r\n" 10 "\r\nOK\r\n"
cmd AT+GMI = 20 "\r\n+GMI: \"Example Modems\"\r\n" 10 "\r\nOK\r\n"
cmd AT+GMM = 50 "\r\n+GMM: \"Model 56\"\r\n" 20 "\r\nOK\r\n"
cmd AT+GMR = 20 "\r\n+GMR: \"1.42\"\r\n" 10 "\r\nOK\r\n"
cmd AT&V = 30 "\r\nACTIVE PROFILE:\r\nE1 Q0 V1 X4 &C1 &D2\r\n" 10 "\r\nOK\r\n"
cmd AT+DIAG = 200 "\r\nDIAG <2A4D3263 0=1 1=0 2=3>\r\n" 20 "\r\nOK\r\n"

# Common set-up commands simply answer OK.
prefix ATS = "\r\nOK\r\n"
prefix AT&C = "\r\nOK\r\n"
prefix AT&D = "\r\nOK\r\n"
prefix ATX = "\r\nOK\r\n"
prefix ATM = "\r\nOK\r\n"
prefix ATL = "\r\nOK\r\n"
cmd ATV1 = "\r\nOK\r\n"
cmd ATQ0 = "\r\nOK\r\n"

connect "CONNECT 28800/V42"
dial default delay 1500 connect
