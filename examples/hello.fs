." Hello, world! " CR
: GREET ." Nice to meet you, " ;
GREET SPACE ." Forth! " CR
QUIT
