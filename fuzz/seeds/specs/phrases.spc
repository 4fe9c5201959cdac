Iterations limit#500
Feasibility tolerance#1e-7
Scale option#0
Crash option#3
Partial price#10
Factorization frequency#1
Expand frequency#2
Log frequency#0
Maximize
Iparm 6#1
Rparm 3#-1
Optimality tolerance#nan
Pivot tolerance#inf
Superbasics limit#2147483647
