# Echo off from the start: nothing typed comes back.
echo off
