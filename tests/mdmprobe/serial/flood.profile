# A modem that floods after a command: its CR is not echoed, so nothing but
# text without a line end follows the echo of the command.
echo on
echo-fault drop "\r"
cmd AT+FLOOD = none
flood "abc" on AT+FLOOD
