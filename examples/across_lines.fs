." A loop may span lines: " CR
5 0 DO 
I . 
LOOP
." Values stay on the stack from line to line: " CR
1 2
+ .
QUIT
