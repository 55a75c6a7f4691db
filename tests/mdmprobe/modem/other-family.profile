# A modem of another maker: it answers the detect command ATI0 with OK, but
# without "VANTOR"; every other command gets ERROR.
echo on
cmd ATI0 = 20 "\r\nGENERIC 56K DATA/FAX MODEM\r\n" 10 "\r\nOK\r\n"
