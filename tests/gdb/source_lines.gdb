# list, break FILE:LINE, info line and next by line in the listing.
# expect: ^1026[[:space:]]+E4B8 96 2C +1012 +ldA +rxbuf
# expect: Breakpoint 1 at 0xe4b8: file .*demo.lst, line 1026
# expect: Line 1026 of "demo.lst" starts at address 0xe4b8 <serial_command>
# expect: Breakpoint 1, serial_command \(\) at demo.lst:1026
# expect: ^1028[[:space:]]+E4BA 81 A6
list serial_command
break demo.lst:1026
info line demo.lst:1026
monitor inject LecE2P
continue
next
detach
