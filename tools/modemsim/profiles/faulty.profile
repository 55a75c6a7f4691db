# A modem with faults, for checking that a program copes with them.

echo on

# The second 'T' typed is echoed as 'X'; the fourth CR is not echoed at all.
echo-fault replace T X nth 2
echo-fault drop "\r" nth 4

# Deaf to the first AT, then fine: tests the program's retry.
cmd AT = none then "\r\nOK\r\n"

# Slow, bursty identification.
cmd ATI = 400 "\r\nMod" 150 "el 56\r\n" 300 "\r\nOK\r\n"

# Garbage in an answer, and a negative answer.
cmd AT+GMM = 30 "\r\n+GMM: \"\x01\xFFModel\"\r\n" 10 "\r\nOK\r\n"
cmd AT+GMR = "\r\nNOK\r\n"

# Unknown commands get NOK instead of ERROR; a bare CR gets OK.
unknown = "\r\nNOK\r\n"
empty = "\r\nOK\r\n"

# The first call is busy, the next ones connect slowly and drop after 5 s.
dial default delay 800 busy then delay 2500 connect "CONNECT 9600/NONE"
dial 0000 no-dialtone
drop-after 5000
guard 500
