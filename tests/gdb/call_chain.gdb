# break by name, bt through the calls, up, finish back into the caller.
# expect: #0 +serial_command \(\) at demo.lst:1026
# expect: #1 +0x0*e4b7 in sci_poll \(\) at demo.lst:1020
# expect: #2 +0x0*e063 in debprog_ \(\) at demo.lst:291
# expect: ^sci_poll \(\) at demo.lst:1022
break serial_command
monitor inject LecE2P
continue
bt
up
down
finish
detach
