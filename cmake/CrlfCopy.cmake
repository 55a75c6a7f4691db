# cmake -DSOURCE=file -DTARGET=file -P CrlfCopy.cmake
# Copies a text file with Windows line ends (CR LF), so that the sample files
# shipped beside the programs read well in Notepad.
file(READ ${SOURCE} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TARGET} "${text}")
