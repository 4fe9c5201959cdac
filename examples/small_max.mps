NAME          SMALLMAX
* A small maximisation in free format, with a range and a bound:
*   maximise 3x + 2y  subject to  x + y <= 4,  x + 3y <= 6,  0 <= x - y <= 2,  x <= 3.
* The optimum is x = 3, y = 1 with objective 11.
OBJSENSE
    MAX
ROWS
 N  PROFIT
 L  LIMIT
 L  LABOUR
 G  BALANCE
COLUMNS
    X  PROFIT  3  LIMIT  1
    X  LABOUR  1  BALANCE  1
    Y  PROFIT  2  LIMIT  1
    Y  LABOUR  3  BALANCE  -1
RHS
    RHS  LIMIT  4  LABOUR  6
RANGES
    RNG  BALANCE  2
BOUNDS
 UP BND  X  3
ENDATA
