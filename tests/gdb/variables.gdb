# print a variable, x on an array, a watchpoint, the monitor answering.
# expect: \$1 = 0 
# expect: type = unsigned char \[24\]
# expect: 0x2c( <rxbuf>)?:[[:space:]]+0xa6[[:space:]]+0x03[[:space:]]+0x20[[:space:]]+0x05
# expect: Hardware watchpoint 2: ticks
# expect: Old value = 0
# expect: New value = 1
# expect: key Menu held for 50 ms
# expect: panel: Ecran1=
# expect: cycles: [0-9]+
print ticks
ptype rxbuf
break serial_command
monitor inject LecE2P
continue
x/4xb &rxbuf
delete
watch ticks
continue
monitor key Menu 50
monitor panel
monitor cycles
detach
