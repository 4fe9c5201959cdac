NAME ODD
* Free rows, an empty column, fixed variables, tiny ranges, wide coefficients.
ROWS
 N OBJ
 N SPARE
 E TIGHT
 L BIG
 G SMALL
COLUMNS
 A OBJ 1e-10 TIGHT 1
 A BIG 1e10 SPARE 2
 B OBJ -1 TIGHT 1
 B SMALL 1e-9
* C OBJ 3 BIG 1e+9
 C SMALL 1
 D OBJ 0.5
RHS
 RHS TIGHT 1 BIG 1e10
 RHS SMALL 1e-9 OBJ 
 UP BND D 1
 UP BND B 0e30
 LO BND A -1e30
ENDATA
Scale option 2
Feasibility tolerance 1e-9
Expand frequency 2
Crash option 1
