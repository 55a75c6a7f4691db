# Modem for the answer checks and the test calls: echo on, a short escape
# guard time, one number per call result.
echo on
guard 300

# Memory test with a good and a bad result, stored-checksum test.
cmd AT%T1 = 20 "\r\nRAM 128k\r\n" 10 "\r\nOK\r\n"
cmd AT%T2 = 20 "\r\nRAM ERROR 1F00\r\n" 10 "\r\nERROR\r\n"
cmd AT%C = 20 "\r\nCRC: A55A\r\n" 10 "\r\nOK\r\n"

dial 100 delay 400 connect "CONNECT 28800/V42"
dial 200 delay 400 busy
dial 300 delay 400 no-carrier
dial 400 delay 400 no-answer
# Never a call result (the modem goes back to command mode in silence).
dial 900 delay 400 none
# Never a call result, but text without end from the dialling on.
dial 901 delay 400 none
flood "abc" on ATDT901
# Connected, but reported as a bare CONNECT (no blank, no speed): no final
# call result for the program, which goes on waiting.
dial 500 delay 400 connect "CONNECT"
