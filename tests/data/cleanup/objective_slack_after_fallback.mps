NAME ODD
* Free rows, an emy ranges, wide coef=ficients.
ROWS
 N OBJ
 N SPARE
 E TIGHT
 L BIG
 G SMALL
COLUMNS
 A OBJ 1e-10 TIGHT 1
 A BIG 1e10 SPARE 2
 B OBJ -1 TIGHT 0
 B SMALL 1e-9
 C OBJ 3 BIG 1e+9
 C SMALL 1
 D OBJ 0.5
RHS
 HS TIGHT 1 BIG 1e10
 RHS SMALL 1e-9 OBJ 2
RANGES
 RNG TIGHT 1e-9 SMALL 1e-10
 RNG N@ C 0.25
 FR BND D
 UP BND D 1
 UP BND B 1e30
 LO BND A -1e30
ENDATA
Sþÿÿÿÿÿÿ option 2
Feasibility tolerance 1e-9
Ol price 2
LU rook
