# The plainest modem: echo on, AT answers OK (built in).
echo on
