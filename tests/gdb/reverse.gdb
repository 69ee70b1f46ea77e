# step into a call, then back over it with reverse-next.
# expect: Breakpoint 1, serial_command \(\) at demo.lst:1026
# expect: \(\) at demo.lst:1076
# expect: serial_command \(\) at demo.lst:10[0-9][0-9]
break serial_command
monitor inject LecE2P
continue
next
next
next
step
reverse-step
reverse-next
detach
