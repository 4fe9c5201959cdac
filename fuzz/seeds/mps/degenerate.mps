NAME DEGEN
ROWS
 N OBJ
 L C1
 L C2
 L C3
 L C4
COLUMNS
 X1 OBJ -10 C1 0.5
 X1 C2 0.5 C3 1
 X2 OBJ 57 C1 -5.5
 X2 C2 -1.5
 X3 OBJ 9 C1 -2.5
 X3 C2 -0.5
 X4 OBJ 24 C1 9
 X4 C2 1
RHS
 RHS C3 1
ENDATA
Factorization frequency 1
Expand frequency 2
Crash option 1
Log frequency 1
Print level 1
