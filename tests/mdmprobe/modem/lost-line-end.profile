# A modem whose echo of the dial command's CR is lost: the request that
# sends the command fails after 2.5 s without the line end, although the
# modem took the line and dials (for a long time). Any byte received while
# dialling aborts the call, as a key press does on a real modem.
echo on
guard 300
abort-dial on
echo-fault drop "\r" nth 1
dial 500 delay 20000 connect
