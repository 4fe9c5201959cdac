NAME          BIGCONST
* An objective constant beyond the infinite bound: a constant, not a
* bound, so it is written back as it is.
ROWS
 N  OBJ
 L  LIM
COLUMNS
    X         OBJ       1.0          LIM       1.0
RHS
    RHS       LIM       4.0          OBJ       -1e202
ENDATA
