: C>F 9 * 5 / 32 + ;
: F>C 32 - 5 * 9 / ;
." Celsius to Fahrenheit: " CR
101 0 DO I . ." C = " SPACE I C>F . ." F " CR 20 +LOOP
37 C>F . 0 F>C .
QUIT
