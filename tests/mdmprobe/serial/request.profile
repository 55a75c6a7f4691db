# Modem for the command request tests: echo on, one command per situation.
echo on
guard 500
dial default delay 800 connect

# Identification and diagnostic: the modem thinks for 900 ms, long enough for
# a few scroll CRs, then answers.
cmd ATI = 900 "\r\nModel 56\r\n" 10 "\r\nOK\r\n"
cmd AT+GMR = 20 "\r\n+GMR: \"1.42\"\r\n" 10 "\r\nOK\r\n"

# NOK with its line end (the text also holds "OK\r\n").
cmd ATNOK = 20 "\r\nNOK\r\n"
# OK in three bursts, each more than 250 ms after the previous one.
cmd ATSPLIT = 20 "\r\nO" 400 "K\r" 400 "\n"
# OK without its line end.
cmd ATNOEOL = 20 "\r\nOK"
# ERROR on every use, numbered per use.
cmd ATERR = 20 "\r\n1\r\nERROR\r\n" then 20 "\r\n2\r\nERROR\r\n" then 20 "\r\n3\r\nERROR\r\n"
# A slow answer, to cancel while it is awaited.
cmd ATWAIT = 3000 "\r\nOK\r\n"

# The first '&' comes back as '%': the request starts the command again, and
# the modem, which took the first characters too, sees AT&AT&V.
echo-fault replace & % nth 1
cmd AT&AT&V = 20 "\r\nOK\r\n"
