NAME          ALLTYPES
* Fixed format: every row type with a range, every bound type.
ROWS
 N  COST
 L  LIM1
 G  LIM2
 E  EQ1
 E  EQ2
 N  FREE1
COLUMNS
    X1        COST         1.0   LIM1         1.0
    X1        LIM2         1.0   EQ1          2.0
    X2        COST        -2.5   LIM1        -1.0
    X2        EQ2          1.0   FREE1        3.0
    MARKER                 'MARKER'                 'INTORG'
    X3        COST         1.5   LIM2         1.0
    X3        EQ1          1.0
    MARKER                 'MARKER'                 'INTEND'
    X4        EQ2         -1.0   FREE1        1.0
    EMPTY     COST         0.0
RHS
    RHS       COST        -4.0   LIM1         4.0
    RHS       LIM2         1.0   EQ1          7.0
    RHS       EQ2          0.5
RANGES
    RNG       LIM1         2.5   LIM2         3.0
    RNG       EQ1          3.0   EQ2         -1.5
BOUNDS
 UP BND       X1           4.0
 MI BND       X2
 UP BND       X2           1.0
 FX BND       X3           2.5
 FR BND       X4
 LO BND       EMPTY       -1.0
 PL BND       EMPTY
ENDATA
