NAME free_sense
OBJSENSE
    MAX
OBJNAME
    profit
ROWS
 N cost
 N profit
 L capacity_of_the_long_row
 G demand
 E balance
COLUMNS
 produce_a profit 4 capacity_of_the_long_row 2
 produce_a demand 1
 produce_b profit 2.5e0 capacity_of_the_long_row 1.5
 produce_b balance 1 cost 4
 store balance -1 demand 1
RHS
 capacity_of_the_long_row 10 demand 3
 profit -7
RANGES
 demand 4
BOUNDS
 UP produce_a 3
 LI store 1
 UI store 0
ENDATA
