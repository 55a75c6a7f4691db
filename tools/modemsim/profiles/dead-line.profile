# A modem on a dead or busy line: commands work, no call ever connects.

echo on
cmd AT+GMM = 50 "\r\n+GMM: \"Model 56\"\r\n" 20 "\r\nOK\r\n"

dial default delay 2000 no-carrier
dial 0123 delay 1200 busy
dial 0199 delay 500 no-dialtone
dial 0999 delay 3000 none

# A byte typed while dialling aborts the call, as on real modems.
abort-dial on
