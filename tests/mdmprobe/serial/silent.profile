# A port with nothing attached: nothing comes back, ever.
silent on
